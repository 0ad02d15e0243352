// The frame grid of captures and shots, the audio share of each frame, the
// capture's file names and ffmpeg command lines, and the progress line.
#include "capture/frame_plan.h"

#include <gtest/gtest.h>

#include "capture/capture_check.h"
#include "capture/capture_files.h"
#include "capture/progress_line.h"
#include "capture/working_file.h"

namespace {

constexpr int kRate = 44100;

// The offline clock: start + pulled x 1000 / rate, rounded down.
int clockAfter(const FramePlan& plan, std::int64_t pulled) {
    return plan.startMs() + static_cast<int>(pulled * 1000 / kRate);
}

TEST(FramePlan, TimesMapToTheFirstFrameOfTheGridAtOrAfterThem) {
    const FramePlan tenToTwenty(10000, 20000, 60);
    EXPECT_EQ(tenToTwenty.firstFrame(), 600);
    EXPECT_EQ(tenToTwenty.endFrame(), 1200);
    EXPECT_EQ(tenToTwenty.frameCount(), 600);
    EXPECT_EQ(tenToTwenty.startMs(), 10000);

    // 14.3 s lies on the 60 fps grid; 14.31 s goes to the next frame.
    EXPECT_EQ(FramePlan(14300, -1, 60).firstFrame(), 858);
    EXPECT_EQ(FramePlan(14310, -1, 60).firstFrame(), 859);
    EXPECT_EQ(FramePlan(14310, -1, 60).startMs(), 14316);  // 859 x 1000 / 60, rounded down
    EXPECT_EQ(FramePlan(14310, -1, 60).frameCount(), -1);
    // At 24 fps frame 1 shows 41 ms; a time of 1 ms goes there.
    EXPECT_EQ(FramePlan(1, -1, 24).startMs(), 41);
    // A stretch shorter than a frame holds the one frame it begins on.
    EXPECT_EQ(FramePlan(1000, 1010, 60).frameCount(), 1);
    EXPECT_EQ(FramePlan(1000, 1000, 60).frameCount(), 0);
}

TEST(FramePlan, TheShowsEndCutsThePlanShortOnlyWhenEarlier) {
    FramePlan open(1550000, -1, 60);
    open.stopAtMs(1560000);
    EXPECT_EQ(open.frameCount(), 600);
    FramePlan shorter(0, 5000, 60);
    shorter.stopAtMs(1560000);
    EXPECT_EQ(shorter.frameCount(), 300);
    FramePlan unknown(0, -1, 60);
    unknown.stopAtMs(-1);
    EXPECT_EQ(unknown.frameCount(), -1);
    FramePlan past(1570000, -1, 60);
    past.stopAtMs(1560000);
    EXPECT_EQ(past.frameCount(), 0);
}

TEST(FramePlan, AudioBeforeEachFrameMovesTheClockExactlyToIt) {
    for (int fps : {1, 24, 25, 30, 60, 144, 240}) {
        for (int fromMs : {0, 1, 10000, 14310, 1234567}) {
            const FramePlan plan(fromMs, fromMs + 3000, fps);
            std::int64_t pulled = 0;
            for (std::int64_t k = plan.firstFrame(); k < plan.endFrame(); ++k) {
                ASSERT_EQ(plan.audioBefore(k, kRate), pulled) << fps << " fps, frame " << k;
                ASSERT_EQ(clockAfter(plan, pulled), plan.frameMs(k)) << fps << " fps, " << k;
                // Less audio would leave the clock short of the frame.
                if (pulled > 0) {
                    ASSERT_LT(clockAfter(plan, pulled - 1), plan.frameMs(k));
                }
                const int share = plan.audioOf(k, kRate);
                // Within a sample and a millisecond of an exact share.
                ASSERT_NEAR(share, double(kRate) / fps, 46.0) << fps << " fps, frame " << k;
                pulled += share;
            }
        }
    }
    // At 60 fps ten seconds of frames carry exactly ten seconds of song.
    const FramePlan plan(10000, 20000, 60);
    EXPECT_EQ(plan.audioBefore(plan.endFrame(), kRate), 10 * kRate);
}

TEST(CaptureFiles, WorkingNamesAreHiddenBesideTheFinalOneAndBelongToOneRun) {
    EXPECT_EQ(workingNameFor("dir/show.mp4", "video", 4242, 0),
              "dir/.show.mp4.video.4242-0.partial");
    EXPECT_EQ(workingNameFor("show", "song", 7, 3), ".show.song.7-3.partial");
    EXPECT_EQ(workingNameFor("/shot.png", "shot", 1, 0), "/.shot.png.shot.1-0.partial");
    EXPECT_NE(workingNameFor("a.mp4", "video", 1, 0), workingNameFor("a.mp4", "video", 2, 0));
    EXPECT_NE(workingNameFor("a.mp4", "video", 1, 0), workingNameFor("a.mp4", "song", 1, 0));

    // A final name of any valid length gets a working name that fits too,
    // cut at a whole character.
    const std::string longest(255, 'x');
    const std::string working = workingNameFor("dir/" + longest, "muxed", 4194304, 999);
    EXPECT_EQ(working.size(), 4 + 255u);
    EXPECT_EQ(working.rfind(".muxed.4194304-999.partial"), working.size() - 26);
    std::string accented;
    while (accented.size() < 250) accented += "\xc3\xa9";  // é, two bytes each
    const std::string cut = workingNameFor(accented, "video", 12345, 0);
    EXPECT_LE(cut.size(), 255u);
    const std::string kept = cut.substr(1, cut.find(".video.") - 1);
    EXPECT_EQ(kept.size() % 2, 0u);
    EXPECT_EQ(kept, accented.substr(0, kept.size()));

    const CaptureFiles video = captureFilesFor("out/show.mp4");
    EXPECT_EQ(video.finalPath, "out/show.mp4");
    EXPECT_EQ(video.songPath, "");
    const CaptureFiles raw = captureFilesFor("frames.rgba");
    EXPECT_TRUE(isRawCapture("frames.rgba"));
    EXPECT_FALSE(isRawCapture("frames.mp4"));
    EXPECT_EQ(rawAudioName("frames.rgba"), "frames.rgba.s16");
    EXPECT_EQ(raw.songPath, "frames.rgba.s16");
}

TEST(CaptureFiles, TheCheckReadsFfprobesCountsAndTheSoundsEnd) {
    const StreamCounts both = parseStreamCounts("video,600\naudio,431\n");
    EXPECT_EQ(both.videoPackets, 600);
    EXPECT_EQ(both.audioPackets, 431);
    const StreamCounts videoOnly = parseStreamCounts("video,12\n");
    EXPECT_EQ(videoOnly.audioPackets, -1);
    EXPECT_EQ(parseStreamCounts("").videoPackets, -1);
    EXPECT_EQ(parseStreamCounts("garbage\nvideo,x\n").videoPackets, -1);

    EXPECT_DOUBLE_EQ(parseAudioEnd("-0.023220,0.023220\n0.000000,0.023220\n9.976780,0.023220\n"),
                     10.0);
    EXPECT_LT(parseAudioEnd(""), 0.0);
    EXPECT_LT(parseAudioEnd("N/A,N/A\n"), 0.0);
}

// Whether some `option` in args is followed by `value`.
bool follows(const std::vector<std::string>& args, const std::string& option,
             const std::string& value) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == option && args[i + 1] == value) return true;
    }
    return false;
}

TEST(CaptureFiles, TheEncoderReadsRawFramesAndTheMuxKeepsThemAsTheyAre) {
    const auto encode = encodeArguments("v.mp4", 640, 480, 24, "ultrafast");
    EXPECT_EQ(encode.front(), "ffmpeg");
    EXPECT_TRUE(follows(encode, "-video_size", "640x480"));
    EXPECT_TRUE(follows(encode, "-framerate", "24"));
    EXPECT_TRUE(follows(encode, "-pix_fmt", "bgra"));
    EXPECT_TRUE(follows(encode, "-i", "pipe:0"));
    EXPECT_TRUE(follows(encode, "-c:v", "libx264"));
    EXPECT_TRUE(follows(encode, "-preset", "ultrafast"));
    EXPECT_EQ(encode.back(), "v.mp4");

    const auto mp4 = muxArguments("v.mp4", "a.s16", 44100, "o.partial.mp4", "o.mp4");
    EXPECT_TRUE(follows(mp4, "-c:v", "copy"));
    EXPECT_TRUE(follows(mp4, "-c:a", "aac"));
    EXPECT_TRUE(follows(mp4, "-ar", "44100"));
    EXPECT_TRUE(follows(mp4, "-f", "mp4"));
    EXPECT_EQ(mp4.back(), "o.partial.mp4");
    const auto mkv = muxArguments("v.mp4", "a.s16", 44100, "o.partial.mkv", "o.mkv");
    EXPECT_TRUE(follows(mkv, "-c:a", "flac"));
    EXPECT_TRUE(follows(mkv, "-f", "matroska"));
}

TEST(ProgressLine, BarSpeedAndEstimate) {
    CaptureProgress p;
    p.framesDone = 300;
    p.framesTotal = 600;
    p.framesPerSecond = 60;
    p.songMs = 14999;
    p.elapsedSeconds = 10.0;
    EXPECT_EQ(progressLine(p),
              "[##########----------]  50%  song 15.0 s  30.0 fps  0.50x  left 0:10");
    p.framesTotal = -1;  // no known end: no bar and no estimate
    EXPECT_EQ(progressLine(p), "  song 15.0 s  30.0 fps  0.50x");
    EXPECT_EQ(clockText(59.4), "0:59");
    EXPECT_EQ(clockText(3725), "1:02:05");
}

}  // namespace
