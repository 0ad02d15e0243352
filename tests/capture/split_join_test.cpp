// A capture split into time ranges rendered side by side and joined as the
// README says equals one capture of the whole range: raw frames byte for
// byte, and the parts' songs joined equal the song of a song-only run; a
// video has the same frame count and timestamps, every frame within the
// encoder's loss, and the song sample for sample.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "capture_support.h"

namespace {

using namespace capture_test;

class SplitJoin : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-split-join"};
    fs::path runtime() const { return folder / "runtime"; }
    void SetUp() override { fs::create_directories(runtime()); }

    // The whole range 20 to 24 s and its two halves, all three at once.
    void captureWholeAndHalves(const std::string& extension, const std::string& size) {
        const std::vector<std::vector<std::string>> runs = {
            {"--capture", (folder / ("whole" + extension)).string(), "--from", "20", "--to", "24"},
            {"--capture", (folder / ("part1" + extension)).string(), "--from", "20", "--to", "22"},
            {"--capture", (folder / ("part2" + extension)).string(), "--from", "22", "--to", "24"},
        };
        std::vector<ProcessResult> results(runs.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            threads.emplace_back([&, i] {
                std::vector<std::string> args = runs[i];
                args.insert(args.end(), {"--size", size});
                ProcessOptions options;
                options.timeoutSeconds = 300;
                results[i] = runTalvenor(args, runtime(), options);
            });
        }
        for (std::thread& t : threads) t.join();
        for (const ProcessResult& r : results) ASSERT_EQ(r.exitCode, 0) << r.output;
        const ProcessResult song = runTalvenor(
            {"--capture", (folder / "song.s16").string(), "--from", "20", "--to", "24"}, runtime());
        ASSERT_EQ(song.exitCode, 0) << song.output;
    }

    static ProcessResult tool(const std::string& program, const std::vector<std::string>& args) {
        ProcessOptions options;
        options.timeoutSeconds = 120;
        return runProcess(program, args, options);
    }
};

TEST_F(SplitJoin, RawPartsJoinedAreTheWholeCaptureByteForByte) {
    captureWholeAndHalves(".rgba", "64x48");
    const std::string joined = fileBytes(folder / "part1.rgba") + fileBytes(folder / "part2.rgba");
    const std::string whole = fileBytes(folder / "whole.rgba");
    EXPECT_EQ(whole.size(), 240u * 64 * 48 * 4);
    EXPECT_TRUE(joined == whole) << "the joined frames differ";
    const std::string song = fileBytes(folder / "song.s16");
    EXPECT_EQ(song.size(), 4u * 44100 * 4);
    EXPECT_TRUE(song == fileBytes(folder / "whole.rgba.s16")) << "the song differs";
    const std::string songs =
        fileBytes(folder / "part1.rgba.s16") + fileBytes(folder / "part2.rgba.s16");
    EXPECT_TRUE(songs == song) << "the parts' songs joined differ from the whole's";
}

TEST_F(SplitJoin, VideoPartsJoinedHaveTheWholeCapturesFramesTimestampsAndSong) {
    captureWholeAndHalves(".mkv", "160x120");
    {
        std::ofstream list(folder / "parts.txt");
        list << "file '" << (folder / "part1.mkv").string() << "'\n"
             << "file '" << (folder / "part2.mkv").string() << "'\n";
    }
    const fs::path video = folder / "video.mkv";
    const fs::path joined = folder / "joined.mkv";
    ProcessResult r = tool("/usr/bin/ffmpeg", {"-v", "error", "-nostdin", "-f", "concat", "-safe",
                                               "0", "-i", (folder / "parts.txt").string(), "-map",
                                               "0:v", "-c", "copy", video.string()});
    ASSERT_EQ(r.exitCode, 0) << r.output;
    r = tool("/usr/bin/ffmpeg", {"-v",
                                 "error",
                                 "-nostdin",
                                 "-i",
                                 video.string(),
                                 "-f",
                                 "s16le",
                                 "-ar",
                                 "44100",
                                 "-ac",
                                 "2",
                                 "-i",
                                 (folder / "song.s16").string(),
                                 "-map",
                                 "0:v",
                                 "-map",
                                 "1:a",
                                 "-c:v",
                                 "copy",
                                 "-c:a",
                                 "flac",
                                 joined.string()});
    ASSERT_EQ(r.exitCode, 0) << r.output;

    auto timestamps = [&](const fs::path& file) {
        return tool("/usr/bin/ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                         "packet=pts_time", "-of", "csv=p=0", file.string()})
            .output;
    };
    const std::string wholeTimes = timestamps(folder / "whole.mkv");
    EXPECT_FALSE(wholeTimes.empty());
    EXPECT_EQ(timestamps(joined), wholeTimes);
    EXPECT_EQ(probe(joined, "v", "nb_read_frames"), "240");
    EXPECT_EQ(probe(folder / "whole.mkv", "v", "nb_read_frames"), "240");

    auto decoded = [&](const fs::path& file, const char* map, const char* format) {
        std::vector<std::string> args = {"-v",          "error", "-nostdin", "-i",
                                         file.string(), "-map",  map};
        if (std::string(map) == "0:v") {
            args.insert(args.end(), {"-f", "rawvideo", "-pix_fmt", format, "-"});
        } else {
            args.insert(args.end(), {"-f", format, "-"});
        }
        return tool("/usr/bin/ffmpeg", args).output;
    };
    const std::string wholeSong = decoded(folder / "whole.mkv", "0:a", "s16le");
    EXPECT_EQ(wholeSong.size(), 4u * 44100 * 4);
    EXPECT_TRUE(decoded(joined, "0:a", "s16le") == wholeSong) << "the song differs";

    const std::string a = decoded(folder / "whole.mkv", "0:v", "rgb24");
    const std::string b = decoded(joined, "0:v", "rgb24");
    const std::size_t frameBytes = 160u * 120 * 3;
    ASSERT_EQ(a.size(), 240 * frameBytes);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t f = 0; f < 240; ++f) {
        long long sum = 0;
        for (std::size_t i = f * frameBytes; i < (f + 1) * frameBytes; ++i) {
            sum += std::abs(static_cast<unsigned char>(a[i]) - static_cast<unsigned char>(b[i]));
        }
        // x264 at CRF 18 stays within a few levels; a wrong frame is far off.
        EXPECT_LT(static_cast<double>(sum) / frameBytes, 3.0) << "frame " << f;
    }
}

}  // namespace
