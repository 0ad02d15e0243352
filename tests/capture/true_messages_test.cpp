// What talvenor says is what happened, with talvenor started as a shell
// starts it: output that could not be written is an error, a missing ffprobe
// is found before the first frame, a song capture is not refused over
// picture options it never uses, and a stopped capture says it was stopped.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "capture_support.h"
#include "wait_for.h"

namespace {

using namespace capture_test;

class TrueMessages : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-messages"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }
    ProcessResult talvenor(const std::vector<std::string>& args, const ProcessOptions& o = {}) {
        return runTalvenor(args, runtime(), o);
    }
    // talvenor with its standard output sent where the shell redirection says.
    ProcessResult redirected(const std::string& args, const std::string& to) {
        ProcessOptions o;
        o.workingDirectory = buildFolder().string();
        o.environment = {{"XDG_RUNTIME_DIR", runtime().string()}};
        return runProcess("/bin/sh", {"-c", "exec \"$0\" " + args + " > " + to, TALVENOR}, o);
    }
    std::vector<std::string> outputs() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "runtime" && name != "bin") names.push_back(name);
        }
        return names;
    }
    // A folder for PATH holding the fake programs given as name and script.
    std::string pathWith(const std::vector<std::pair<std::string, std::string>>& programs) {
        const fs::path bin = folder / "bin";
        fs::create_directories(bin);
        for (const auto& [name, script] : programs) {
            std::ofstream(bin / name) << script;
            fs::permissions(bin / name, fs::perms::owner_all);
        }
        return bin.string();
    }
};

TEST_F(TrueMessages, AFailedWriteToStandardOutputIsAnError) {
    for (const char* args : {"--version", "--help", "--list"}) {
        ProcessResult r = redirected(args, "/dev/full");
        EXPECT_EQ(r.exitCode, 1) << args << ": " << r.output;
        EXPECT_NE(r.output.find("No space left on device"), std::string::npos)
            << args << ": " << r.output;
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
        r = redirected(args, "/dev/null");
        EXPECT_EQ(r.exitCode, 0) << args << ": " << r.output;
        EXPECT_EQ(r.output, "") << args;
    }
}

// Without ffprobe a video capture cannot check its file: that is said before
// the module is loaded, not after the whole show was drawn.
TEST_F(TrueMessages, AMissingFfprobeIsFoundBeforeTheFirstFrame) {
    ProcessOptions o;
    o.environment = {{"PATH", pathWith({{"ffmpeg", "#!/bin/sh\nexec ffmpeg-not-here\n"}})}};
    const ProcessResult r =
        talvenor({"--capture", (folder / "a.mp4").string(), "--size", "160x120"}, o);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("talvenor: ffprobe: not found in PATH; a video capture needs ffmpeg "
                            "and ffprobe"),
              std::string::npos)
        << r.output;
    // That line alone: no module loaded, no progress line.
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;
    EXPECT_TRUE(outputs().empty());
    // Raw frames and the song alone need neither.
    const ProcessResult raw =
        talvenor({"--capture", (folder / "a.rgba").string(), "--to", "0.1", "--size", "32x24"}, o);
    EXPECT_EQ(raw.exitCode, 0) << raw.output;
}

// The song alone draws no picture: a size and supersampling no driver could
// draw do not stop it.
TEST_F(TrueMessages, ASongCaptureIgnoresPictureOptions) {
    const fs::path song = folder / "s.s16";
    const ProcessResult r = talvenor({"--capture", song.string(), "--to", "1", "--size",
                                      "8192x8192", "--supersample", "4", "--msaa", "8"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    ASSERT_TRUE(fs::exists(song)) << r.output;
    EXPECT_EQ(fs::file_size(song), 44100u * 4);
}

// An encoder that takes every frame but never finishes its file: after
// Ctrl-C it is ended within 1.5 s, and the message says the run was
// stopped at the user's request and that nothing was kept, not that the
// encoder wrote nothing for the stall limit.
TEST_F(TrueMessages, AStoppedCaptureSaysSo) {
    ProcessOptions o;
    const std::string bin = pathWith({{"ffmpeg", "#!/bin/sh\ncat > /dev/null\nexec sleep 600\n"}});
    o.environment = {{"PATH", bin + ":" + std::getenv("PATH")}};
    const fs::path video = folder / "a.mp4";
    o.context = const_cast<fs::path*>(&video);
    o.whileRunning = [](int pid, void* context) {
        const fs::path song = workingName(*static_cast<fs::path*>(context), "song", pid);
        waitUntil(
            [&] {
                std::error_code error;
                return fs::exists(song, error) && fs::file_size(song, error) >= 44100 * 4;
            },
            60);
        ::kill(pid, SIGINT);
    };
    const ProcessResult r = talvenor({"--capture", video.string(), "--size", "160x120"}, o);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("talvenor: stopped at the user's request; nothing was kept (the "
                            "encoder (ffmpeg, process "),
              std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find(") did not finish within 1.5 s of the stop request; it was ended)"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("wrote nothing"), std::string::npos) << r.output;
    EXPECT_TRUE(outputs().empty());
}

}  // namespace
