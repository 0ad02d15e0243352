// What the user takes away from a capture or shot, with talvenor started as
// a shell starts it (descriptors 0 to 2 only): every container carries the
// song of its stretch (decoded and compared with the song capture), a closed
// stderr changes nothing, a file that is not whole never takes the final
// name (an encoder that writes nothing, a full disk), shots started together
// all succeed, and what is wrong with the final name is said before the
// first frame.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "capture_support.h"
#include "wait_for.h"

namespace {

using namespace capture_test;

constexpr int kRate = 44100;

class Takeaway : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-takeaway"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }
    ProcessResult talvenor(const std::vector<std::string>& args, const ProcessOptions& o = {}) {
        return runTalvenor(args, runtime(), o);
    }
    // The entries of a folder, hidden ones included.
    static std::vector<std::string> entries(const fs::path& where) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(where)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // What stands in the scratch folder besides the runtime folder.
    std::vector<std::string> outputs() const {
        std::vector<std::string> names = entries(folder.path());
        names.erase(std::remove(names.begin(), names.end(), "runtime"), names.end());
        return names;
    }
};

std::vector<std::int16_t> rawSong(const fs::path& s16) {
    const std::string bytes = fileBytes(s16);
    std::vector<std::int16_t> samples(bytes.size() / 2);
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

// The best normalised correlation of the two songs' left channels over lags
// of up to 4096 frames either way (a lossy codec's delay), over the
// reference's whole length.
double bestCorrelation(const std::vector<std::int16_t>& reference,
                       const std::vector<std::int16_t>& heard) {
    const long frames = static_cast<long>(reference.size() / 2);
    const long heardFrames = static_cast<long>(heard.size() / 2);
    double best = -1.0;
    for (long lag = -4096; lag <= 4096; lag += 1) {
        double sum = 0.0, ref2 = 0.0, got2 = 0.0;
        for (long i = 0; i < frames; i += 4) {
            const long j = i + lag;
            if (j < 0 || j >= heardFrames) continue;
            const double a = reference[2 * i];
            const double b = heard[2 * j];
            sum += a * b;
            ref2 += a * a;
            got2 += b * b;
        }
        if (ref2 > 0.0 && got2 > 0.0) best = std::max(best, sum / std::sqrt(ref2 * got2));
    }
    return best;
}

TEST_F(Takeaway, EveryContainerCarriesTheSongOfItsStretch) {
    const fs::path song = folder / "song.s16";
    ASSERT_EQ(talvenor({"--capture", song.string(), "--from", "30", "--to", "32"}).exitCode, 0);
    const std::vector<std::int16_t> reference = rawSong(song);
    ASSERT_EQ(reference.size(), 2u * 2 * kRate);

    const fs::path mkv = folder / "c.mkv";
    ProcessResult r =
        talvenor({"--capture", mkv.string(), "--from", "30", "--to", "32", "--size", "320x240"});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(probe(mkv, "a", "codec_name"), "flac");
    EXPECT_TRUE(decodedSong(mkv) == reference)
        << "the FLAC track is not the song sample for sample";

    for (const char* name : {"c.mp4", "c.mov"}) {
        const fs::path video = folder / name;
        r = talvenor(
            {"--capture", video.string(), "--from", "30", "--to", "32", "--size", "320x240"});
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(probe(video, "a", "codec_name"), "aac") << name;
        const std::vector<std::int16_t> heard = decodedSong(video);
        EXPECT_NEAR(static_cast<double>(heard.size()), static_cast<double>(reference.size()),
                    2.0 * 2 * 2048)
            << name;
        EXPECT_GE(bestCorrelation(reference, heard), 0.99) << name;
    }
}

// Started with stderr closed, what the program would have printed lands on
// /dev/null, not in the song or the video.
TEST_F(Takeaway, AClosedStderrChangesNoFile) {
    const fs::path reference = folder / "reference.s16";
    ASSERT_EQ(talvenor({"--capture", reference.string(), "--from", "14", "--to", "16"}).exitCode,
              0);
    ProcessOptions closed;
    closed.closeStderr = true;
    const fs::path song = folder / "quiet.s16";
    ASSERT_EQ(talvenor({"--capture", song.string(), "--from", "14", "--to", "16"}, closed).exitCode,
              0);
    EXPECT_EQ(fs::file_size(song), 2u * 4 * kRate);
    EXPECT_TRUE(fileBytes(song) == fileBytes(reference));

    const fs::path video = folder / "quiet.mp4";
    const ProcessResult r = talvenor(
        {"--capture", video.string(), "--from", "14", "--to", "16", "--size", "320x240"}, closed);
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(probe(video, "v", "nb_read_frames"), "120");
    EXPECT_GE(bestCorrelation(rawSong(reference), decodedSong(video)), 0.99);
}

// An ffmpeg that takes the frames and exits 0 having written nothing: the
// capture fails, and nothing stands under the final name or a working one.
TEST_F(Takeaway, AnEncoderThatWritesNothingLeavesNothing) {
    const fs::path bin = folder / "bin";
    fs::create_directories(bin);
    std::ofstream(bin / "ffmpeg") << "#!/bin/sh\ncat > /dev/null\nexit 0\n";
    fs::permissions(bin / "ffmpeg", fs::perms::owner_all);
    ProcessOptions options;
    options.environment = {{"PATH", bin.string() + ":" + std::getenv("PATH")}};
    const ProcessResult r =
        talvenor({"--capture", (folder / "empty.mp4").string(), "--to", "0.5", "--size", "160x120"},
                 options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("empty.mp4 was not written whole"), std::string::npos) << r.output;
    EXPECT_EQ(outputs(), std::vector<std::string>{"bin"});
}

// A file system that fills up half-way: exit 1 with the cause, nothing left
// on it. Mounting a small tmpfs needs root; elsewhere the case is skipped.
TEST_F(Takeaway, AFullDiskLeavesNothingAndSaysSo) {
    const fs::path small = folder / "small";
    fs::create_directories(small);
    if (::geteuid() != 0 || ::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (needs root)";
    }
    struct Unmount {
        fs::path where;
        ~Unmount() { ::umount2(where.c_str(), MNT_DETACH); }
    } unmount{small};
    for (const char* name : {"full.mp4", "full.rgba", "full.s16", "full.png"}) {
        const fs::path out = small / name;
        const bool shot = std::string(name).ends_with(".png");
        std::vector<std::string> args =
            shot ? std::vector<std::string>{"--shot", "30", out.string(), "--size", "1024x768"}
                 : std::vector<std::string>{"--capture", out.string(), "--from", "30",
                                            "--to",      "34",         "--size", "320x240"};
        // The shot needs a fuller disk: fill most of it first.
        if (shot) std::ofstream(small / "filler") << std::string(240 * 1024, 'x');
        const ProcessResult r = talvenor(args);
        EXPECT_EQ(r.exitCode, 1) << name << ": " << r.output;
        EXPECT_NE(r.output.find("No space left on device"), std::string::npos)
            << name << ": " << r.output;
        std::vector<std::string> left = entries(small);
        left.erase(std::remove(left.begin(), left.end(), "filler"), left.end());
        EXPECT_TRUE(left.empty()) << name << ": " << left.front();
    }
}

// Eight shots started together into one name all succeed, and the file is a
// whole picture, the same as a shot on its own.
TEST_F(Takeaway, ShotsStartedTogetherIntoOneNameAllSucceed) {
    const fs::path alone = folder / "alone.png";
    ASSERT_EQ(talvenor({"--shot", "18", alone.string(), "--size", "160x120"}).exitCode, 0);
    const fs::path shared = folder / "shared.png";
    std::vector<ProcessResult> results(8);
    std::vector<std::thread> runs;
    for (ProcessResult& result : results) {
        runs.emplace_back([&] {
            ProcessOptions options;
            options.timeoutSeconds = 180;
            result = talvenor({"--shot", "18", shared.string(), "--size", "160x120"}, options);
        });
    }
    for (std::thread& run : runs) run.join();
    for (const ProcessResult& r : results) EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(fileBytes(shared) == fileBytes(alone));
    EXPECT_EQ(outputs(), (std::vector<std::string>{"alone.png", "shared.png"}));
}

// A folder at the final name, or a final folder that does not exist, is
// found before the module is loaded: the whole show is never drawn for it.
TEST_F(Takeaway, AWrongFinalNameIsFoundBeforeTheFirstFrame) {
    fs::create_directories(folder / "taken.mp4");
    ProcessOptions options;
    options.timeoutSeconds = 60;  // drawing the whole show would take far longer
    ProcessResult r = talvenor({"--capture", (folder / "taken.mp4").string()}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("taken.mp4: a folder stands at this name"), std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("frames"), std::string::npos) << r.output;
    r = talvenor({"--capture", (folder / "missing" / "x.mp4").string()}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("missing: No such file or directory"), std::string::npos) << r.output;
    EXPECT_EQ(outputs(), std::vector<std::string>{"taken.mp4"});
}

// The longest names a file may have work as final names.
TEST_F(Takeaway, ANameOfTheFullLengthWorks) {
    const fs::path shot = folder / (std::string(251, 'n') + ".png");
    const ProcessResult r = talvenor({"--shot", "18", shot.string(), "--size", "160x120"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(readPicture(shot).width, 160);
}

// A closed terminal (SIGHUP) mid-capture: the capture ends as on Ctrl-C,
// within two seconds: with what was captured under the final name when
// finishing it fits in that time (130), else with nothing kept and saying so
// (1); either way no working file stays, and the next capture to that name
// works.
TEST_F(Takeaway, AClosedTerminalLeavesNoWorkingFile) {
    const fs::path video = folder / "hup.mkv";
    ProcessOptions options;
    options.context = const_cast<fs::path*>(&video);
    options.whileRunning = [](int pid, void* context) {
        const fs::path song = workingName(*static_cast<fs::path*>(context), "song", pid);
        waitUntil(
            [&] {
                std::error_code error;
                return fs::exists(song, error) && fs::file_size(song, error) >= kRate * 4 / 2;
            },
            60);
        ::kill(pid, SIGHUP);
    };
    ProcessResult r = talvenor(
        {"--capture", video.string(), "--from", "50", "--fps", "10", "--size", "160x120"}, options);
    if (r.exitCode == 1) {
        EXPECT_NE(r.output.find("talvenor: stopped at the user's request; nothing was kept ("),
                  std::string::npos)
            << r.output;
        EXPECT_TRUE(outputs().empty()) << outputs().front();
    } else {
        EXPECT_EQ(r.exitCode, 130) << r.output;
        EXPECT_EQ(outputs(), std::vector<std::string>{"hup.mkv"});
        EXPECT_GT(std::atoi(probe(video, "v", "nb_read_frames").c_str()), 0);
    }
    r = talvenor({"--capture", video.string(), "--from", "50", "--to", "51", "--fps", "10",
                  "--size", "160x120"});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(probe(video, "v", "nb_read_frames"), "10");
    EXPECT_EQ(outputs(), std::vector<std::string>{"hup.mkv"});
}

// A module another user leaves in a shared folder is never what a bare name
// loads, even started from that folder, and the stray data beside it does
// not change the show; a module file, or folder, that others may change is
// refused when named by path.
TEST_F(Takeaway, APlantedModuleIsNeverLoaded) {
    const fs::path shared = folder / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    fs::copy_file(TEST_MODULE, shared / "Sorvanel.Dmd");
    std::ofstream(shared / "Sorvanel.it") << "not a song";
    fs::create_directories(shared / "morrowen.q7v");
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((shared / "Sorvanel.Dmd").c_str(), 65534, 65534), 0);
    }
    const fs::path mark = folder / "loaded";
    ProcessOptions inShared;
    inShared.workingDirectory = shared.string();
    inShared.environment = {{"TEST_DMD_LOAD_MARK", mark.string()}};
    const fs::path shot = folder / "from-shared.png";
    ProcessResult r = talvenor({"--shot", "18", shot.string(), "--size", "160x120"}, inShared);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_FALSE(fs::exists(mark));
    const fs::path plain = folder / "plain.png";
    ASSERT_EQ(talvenor({"--shot", "18", plain.string(), "--size", "160x120"}).exitCode, 0);
    EXPECT_TRUE(fileBytes(shot) == fileBytes(plain));

    if (root) {
        r = talvenor({"--list", "./sorvanel.dmd"}, inShared);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("Sorvanel.Dmd belongs to another user (uid 65534) and lies in " +
                                shared.string() + ", which others may write to"),
                  std::string::npos)
            << r.output;
        EXPECT_FALSE(fs::exists(mark));
    }

    const fs::path open = folder / "open";
    fs::create_directories(open);
    fs::copy_file(TEST_MODULE, open / "open.dmd");
    fs::permissions(open / "open.dmd", fs::perms::all);
    ProcessOptions inOpen = inShared;
    inOpen.workingDirectory = open.string();
    r = talvenor({"--list", "./open.dmd"}, inOpen);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("./open.dmd: refused: the module file can be written by every user"),
              std::string::npos)
        << r.output;
    fs::permissions(open / "open.dmd", fs::perms::owner_all);
    fs::permissions(open, fs::perms::all);
    r = talvenor({"--list", "./open.dmd"}, inOpen);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("./open.dmd: refused: its folder " + open.string() +
                            " can be written by every user and is not sticky"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(mark));
}

// A module that crashes while it is loaded or in Init: one line naming the
// module, what it was doing and the signal; exit 1, no core dump.
TEST_F(Takeaway, AModuleThatCrashesIsNamedInOneLine) {
    ProcessOptions options;
    options.environment = {{"TEST_DMD_CRASH_ON_LOAD", "1"}};
    ProcessResult r = talvenor({"--no-dialog", "--nosound", TEST_MODULE}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("talvenor: DMD could not be loaded! ("), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(": it crashed while loading (SIGSEGV, a bad memory access)\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << r.output;

    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "Init runs in a window: no display";
    options.environment = {{"TEST_DMD_CRASH_IN_INIT", "1"}};
    r = talvenor({"--no-dialog", "--nosound", TEST_MODULE}, options);
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(": the module crashed in Init (SIGSEGV, a bad memory access)\n"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("core dumped"), std::string::npos) << r.output;
}

}  // namespace
