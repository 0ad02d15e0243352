// Hostile files, stuck encoders and odd input, each ending with a clear
// message, the right exit status, nothing written through a link and no
// process left behind: links and other files planted at a capture's or a
// shot's working names, hard links and FIFOs planted where the module unpacks
// its pictures, a FIFO for the song, an encoder that takes no data (a fake
// ffmpeg on PATH), a module cut short, sizes that would wrap, starts past the
// show's end, and a show started where no screen can show it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>

#include "capture_support.h"
#include "wait_for.h"

namespace {

using namespace capture_test;
using Clock = std::chrono::steady_clock;

const std::string kVictimText = "someone else's file, to be left alone\n";

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Hostile : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-hostile"};
    fs::path runtime() const { return folder / "runtime"; }
    fs::path victim() const { return folder / "victim"; }
    void SetUp() override {
        fs::create_directories(runtime());
        std::ofstream(victim()) << kVictimText;
    }
    ProcessResult talvenor(const std::vector<std::string>& args, const ProcessOptions& o = {}) {
        return runTalvenor(args, runtime(), o);
    }
    bool victimUntouched() const { return fileBytes(victim()) == kVictimText; }
    // What stands in the scratch folder besides the runtime folder and the victim.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "runtime" && name != "victim" && name != "bin") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Links, files and folders left at the working names of other runs (another
// process's number, or the names of an older version) never block a capture
// or shot and are never written through: each run's names are its own.
TEST_F(Hostile, WhatOtherRunsLeftAtWorkingNamesNeverBlocksNorIsWrittenThrough) {
    auto in = [this](const char* name) { return (folder / name).string(); };
    const std::vector<std::string> planted = {
        ".a.mp4.song.1-0.partial",   ".a.mp4.video.1-0.partial", ".a.mp4.muxed.1-0.partial",
        "a.audio.partial.s16",       "a.video.partial.mp4",      "a.partial.mp4",
        ".shot.png.shot.1-0.partial"};
    for (const std::string& name : planted) fs::create_symlink(victim(), folder / name);
    fs::create_directories(folder / ".a.rgba.frames.1-0.partial");
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--capture", in("a.mp4"), "--to", "0.2"},
                                               {"--capture", in("a.rgba"), "--to", "0.2"},
                                               {"--capture", in("a.s16"), "--to", "0.2"},
                                               {"--shot", "1", in("shot.png")}}) {
        std::vector<std::string> withSize = args;
        withSize.insert(withSize.end(), {"--size", "160x120"});
        const ProcessResult r = talvenor(withSize);
        EXPECT_EQ(r.exitCode, 0) << args[1] << r.output;
    }
    EXPECT_TRUE(victimUntouched());
    std::vector<std::string> expected = planted;
    expected.insert(expected.end(), {".a.rgba.frames.1-0.partial", "a.mp4", "a.rgba", "a.rgba.s16",
                                     "a.s16", "shot.png"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(leftovers(), expected);
    for (const std::string& name : planted) EXPECT_TRUE(fs::is_symlink(folder / name)) << name;
}

// A link at the final name is replaced by the finished file, not written through.
TEST_F(Hostile, ALinkAtTheFinalNameIsReplacedNotFollowed) {
    const fs::path shot = folder / "shot.png";
    fs::create_symlink(victim(), shot);
    const ProcessResult r = talvenor({"--shot", "1", shot.string(), "--size", "160x120"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_FALSE(fs::is_symlink(shot));
    EXPECT_EQ(readPicture(shot).width, 160);
    EXPECT_TRUE(victimUntouched());
}

// Hard links and FIFOs planted at the nine temporary names: the pictures are
// written as new files that replace the names, so the victim keeps its bytes
// and mode, nothing waits on a FIFO, and the shot is the same as a clean one.
TEST_F(Hostile, PlantedTemporaryPicturesAreReplacedNotFollowedOrWaitedOn) {
    const fs::path clean = folder / "clean.png";
    ASSERT_EQ(talvenor({"--shot", "1", clean.string(), "--size", "160x120"}).exitCode, 0);
    const fs::path pictures = runtime() / "sorvanel";
    ::chmod(victim().c_str(), 0644);
    for (bool fifo : {false, true}) {
        for (int n = 1; n <= 9; ++n) {
            const fs::path planted = pictures / ("ff00a" + std::to_string(n) + ".tmp");
            fs::remove(planted);
            if (fifo) {
                ASSERT_EQ(::mkfifo(planted.c_str(), 0600), 0);
            } else {
                fs::create_hard_link(victim(), planted);
            }
        }
        const fs::path shot = folder / "planted.png";
        const Clock::time_point start = Clock::now();
        const ProcessResult r = talvenor({"--shot", "1", shot.string(), "--size", "160x120"});
        EXPECT_LT(secondsSince(start), 30.0);
        ASSERT_EQ(r.exitCode, 0) << (fifo ? "fifos: " : "hard links: ") << r.output;
        EXPECT_EQ(fileBytes(shot), fileBytes(clean));
        EXPECT_TRUE(victimUntouched());
        struct stat info {};
        ASSERT_EQ(::stat(victim().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0644u);
        EXPECT_EQ(info.st_nlink, 1u);  // the planted names were replaced
        fs::remove(shot);
    }
}

// The song's name holding a FIFO, or a song cut short by one byte, in the
// folder the show starts from: refused within seconds, with the cause.
TEST_F(Hostile, AFifoOrACutSongIsRefusedWithItsCause) {
    // The module reads its data beside itself: a copy of the show in a
    // folder of its own, started by path.
    const fs::path show = folder / "show";
    fs::create_directories(show);
    fs::copy_file(buildFolder() / "morrowen.q7v", show / "morrowen.q7v");
    fs::copy_file(buildFolder() / "sorvanel.dmd", show / "sorvanel.dmd");
    ASSERT_EQ(::mkfifo((show / "Sorvanel.it").c_str(), 0600), 0);
    ProcessOptions options;
    options.workingDirectory = show.string();
    options.timeoutSeconds = 60;
    const Clock::time_point start = Clock::now();
    ProcessResult r =
        talvenor({"--shot", "1", (folder / "x.png").string(), "./sorvanel.dmd"}, options);
    EXPECT_LT(secondsSince(start), 20.0);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Soundfile not found (" + (show / "Sorvanel.it").string() +
                            ": a FIFO, not a file)"),
              std::string::npos)
        << r.output;

    fs::remove(show / "Sorvanel.it");
    const std::string song = fileBytes(buildFolder() / "Sorvanel.it");
    std::ofstream(show / "Sorvanel.it", std::ios::binary) << song.substr(0, song.size() - 1);
    r = talvenor({"--shot", "1", (folder / "x.png").string(), "./sorvanel.dmd"}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Soundfile not found (" + (show / "Sorvanel.it").string() + ": "),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(folder / "x.png"));
}

// Every way the private folder can be unusable says which and why, after the
// fixed text.
TEST_F(Hostile, APrivateFolderThatCannotServeSaysWhy) {
    const fs::path shot = folder / "x.png";
    const fs::path pictures = runtime() / "sorvanel";
    fs::remove_all(pictures);
    std::ofstream(pictures) << "a file";
    ProcessResult r = talvenor({"--shot", "1", shot.string()});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Loading Texture failed! (the private folder " + pictures.string() +
                            " is a file, not a folder)"),
              std::string::npos)
        << r.output;
    fs::remove(pictures);
    fs::create_symlink(folder.path(), pictures);
    r = talvenor({"--shot", "1", shot.string()});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("is a symbolic link)"), std::string::npos) << r.output;
    fs::remove(pictures);
    ProcessOptions missing;
    missing.environment = {{"XDG_RUNTIME_DIR", (folder / "gone").string()}};
    r = runTalvenor({"--shot", "1", shot.string()}, folder / "gone", missing);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("the private folder cannot be made"), std::string::npos) << r.output;
    EXPECT_FALSE(fs::exists(shot));
}

// An ffmpeg that takes no data: the capture gives up after the encoder's
// time limit, names the encoder, and leaves neither files nor processes.
class StalledEncoder : public Hostile {
  protected:
    void SetUp() override {
        Hostile::SetUp();
        fs::create_directories(folder / "bin");
        const fs::path fake = folder / "bin" / "ffmpeg";
        // It sleeps, or with FAKE_ENCODER_SPIN set spins on the processor;
        // either way it never reads a byte.
        std::ofstream(fake) << "#!/bin/sh\necho $$ > \"$FAKE_ENCODER_PID\"\n"
                               "if [ -n \"$FAKE_ENCODER_SPIN\" ]; then while :; do :; done; fi\n"
                               "exec sleep 600\n";
        fs::permissions(fake, fs::perms::owner_all);
        options.environment = {{"PATH", (folder / "bin").string() + ":" + std::getenv("PATH")},
                               {"FAKE_ENCODER_PID", (folder / "encoder.pid").string()},
                               {"SORVANEL_ENCODER_TIMEOUT", "3"}};
        options.timeoutSeconds = 90;
    }
    // The fake encoder's pid (and process group), once it has started.
    int encoderPid() const {
        std::ifstream in(folder / "encoder.pid");
        int pid = 0;
        in >> pid;
        return pid;
    }
    static bool groupGone(int pgid) { return ::kill(-pgid, 0) != 0 && errno == ESRCH; }
    std::vector<std::string> captureArgs() const {
        return {"--capture", (folder / "a.mp4").string(), "--size", "160x120"};
    }
    ProcessOptions options;
};

TEST_F(StalledEncoder, TheCaptureGivesUpAfterTheTimeLimitAndNamesTheEncoder) {
    const Clock::time_point start = Clock::now();
    const ProcessResult r = talvenor(captureArgs(), options);
    EXPECT_LT(secondsSince(start), 60.0);
    ASSERT_FALSE(r.timedOut) << r.output;
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("the encoder (ffmpeg, process " + std::to_string(encoderPid()) +
                            ") took no frame data for 3 s; it was ended"),
              std::string::npos)
        << r.output;
    ASSERT_GT(encoderPid(), 0);
    EXPECT_TRUE(groupGone(encoderPid()));
    EXPECT_EQ(leftovers(), std::vector<std::string>{"encoder.pid"});
}

struct SignalRun {
    fs::path finalPath;
    int signal = SIGTERM;
    Clock::time_point signalled{};
};

// Each stop signal while the encoder takes nothing, sleeping or spinning on
// the processor: the capture ends within seconds, the encoder's group is
// gone, and no working file is left, so the next capture to the name works.
TEST_F(StalledEncoder, EveryStopSignalEndsTheCaptureAndLeavesNoWorkingFile) {
    options.environment.back().second = "600";  // the limit is not what ends it
    for (const auto& [signal, spin] : {std::pair{SIGTERM, false}, std::pair{SIGINT, true},
                                       std::pair{SIGHUP, false}, std::pair{SIGQUIT, true}}) {
        fs::remove(folder / "encoder.pid");
        options.environment.emplace_back("FAKE_ENCODER_SPIN", spin ? "1" : "");
        SignalRun run{folder / "a.mp4", signal};
        options.context = &run;
        options.whileRunning = [](int pid, void* context) {
            auto* run = static_cast<SignalRun*>(context);
            // The first frame fills the encoder's pipe and its write waits
            // there; the song of the frames after it shows the loop went on.
            const fs::path song = workingName(run->finalPath, "song", pid);
            waitUntil(
                [&] {
                    std::error_code error;
                    return fs::exists(song, error) && fs::file_size(song, error) >= 4096;
                },
                60);
            run->signalled = Clock::now();
            ::kill(pid, run->signal);
        };
        const ProcessResult r = talvenor(captureArgs(), options);
        options.environment.pop_back();
        const double sinceSignal = secondsSince(run.signalled);
        ASSERT_FALSE(r.timedOut) << r.output;
        EXPECT_LT(sinceSignal, 10.0) << "signal " << signal;
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("took no frame data"), std::string::npos) << r.output;
        ASSERT_GT(encoderPid(), 0);
        EXPECT_TRUE(groupGone(encoderPid()));
        EXPECT_EQ(leftovers(), std::vector<std::string>{"encoder.pid"}) << "signal " << signal;
    }
}

TEST_F(Hostile, AModuleCutShortIsRefusedWithItsReason) {
    const std::string module = fileBytes(buildFolder() / "sorvanel.dmd");
    const fs::path cut = folder / "t.dmd";
    std::ofstream(cut, std::ios::binary) << module.substr(0, 4096);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--list", cut.string()},
          std::vector<std::string>{"--shot", "1", (folder / "x.png").string(), cut.string()}}) {
        const ProcessResult r = talvenor(args);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("DMD could not be loaded! ("), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("cut short"), std::string::npos) << r.output;
    }
    std::ofstream(cut, std::ios::binary | std::ios::trunc) << "not a library at all";
    const ProcessResult r = talvenor({"--list", cut.string()});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("no ELF header"), std::string::npos) << r.output;
}

// Sizes past 2^32 and times past the show's end are usage errors naming the
// option, not wrapped or silently accepted.
TEST_F(Hostile, WrappedSizesAndLateTimesAreUsageErrors) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--shot", "1", "x.png", "--size", "4294967616x240"}, "--size takes"},
        {{"--no-dialog", "--nosound", "--window", "4294967616x240"}, "--window takes"},
        {{"--no-dialog", "--nosound", "--start", "1600"}, "--start 1600.000 s: the show is over"},
        {{"--no-dialog", "--nosound", "--start", "1560"}, "the show is over at 1560.000 s"},
        {{"--shot", "2000", "x.png"}, "--shot 2000.000 s: the show is over"},
        {{"--capture", "x.mp4", "--from", "2000"}, "--from 2000.000 s: the show is over"},
    };
    for (const auto& c : cases) {
        ProcessOptions options;
        options.workingDirectory = buildFolder().string();
        const ProcessResult r = talvenor(c.args, options);
        EXPECT_EQ(r.exitCode, 2) << c.args.back() << ": " << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << r.output;
    }
    EXPECT_FALSE(fs::exists(buildFolder() / "x.png"));
    EXPECT_FALSE(fs::exists(buildFolder() / "x.mp4"));
}

// Without a display the live show would play in a window nobody sees: it
// refuses to start instead. A shot needs no display.
TEST_F(Hostile, NoDisplayMeansNoLiveShowButShotsStillWork) {
    ProcessOptions options;
    options.environment = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
    options.timeoutSeconds = 60;
    const Clock::time_point start = Clock::now();
    ProcessResult r = talvenor({"--no-dialog", "--nosound"}, options);
    EXPECT_LT(secondsSince(start), 30.0);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Window could not be created! (no screen to show the window on"),
              std::string::npos)
        << r.output;
    r = talvenor({"--shot", "1", (folder / "x.png").string(), "--size", "160x120"}, options);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    // A display named but served by nobody is asked a few times, then named as the cause.
    options.environment = {{"DISPLAY", ":2999"}, {"WAYLAND_DISPLAY", ""}};
    r = talvenor({"--no-dialog", "--nosound"}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Window could not be created! (no screen to show the window on: SDL's "
                            "video driver is 'offscreen' (the display named in DISPLAY or "
                            "WAYLAND_DISPLAY did not answer))"),
              std::string::npos)
        << r.output;
}

}  // namespace
