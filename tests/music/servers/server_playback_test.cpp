// The live show on a real PulseAudio (started by the test, a null sink
// recorded from its monitor) while stress-ng keeps every core busy and the
// shader cache is cold: the sink carries the offline song sample for sample
// from the start on, with no inserted silence; each frame shows the song
// time heard as it appears, and an audio offset holds the picture back by
// that much. The bounds here are ones a loaded 2-core machine meets with
// another job beside it (see kSyncBandMs); the tight figure, 8 ms, is
// sound_server_bench's.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "live_session.h"
#include "pulse_server.h"

namespace {

constexpr int kStartS = 10;  // covers the first second's new GL state and the trails at 17 s
constexpr int kSeconds = 11;
constexpr double kMinMatchedSeconds = 10.0;
// Picture minus heard, median, against its aim (0, or minus the offset).
// With only stress-ng beside the show one run lands within 8 ms (+2 to
// +8 ms, the figure sound_server_bench checks); with another job on the same
// two cores a median has moved by 10.5 ms (-109.5 ms against -120). A clock
// that ignores the server's queue (a second) or the offset (120 ms below)
// is far outside this band.
constexpr double kSyncBandMs = 40.0;

class ServerPlayback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!PulseServer::available() || std::system("command -v stress-ng >/dev/null") != 0) {
            return;
        }
        server_ = new PulseServer;
        if (!server_->start(setupError_)) return;
        song_ = new std::vector<std::int16_t>;
        captureSong(LIVE_LAUNCHER, BUILD_DIR, kStartS, kStartS + 30, *song_, setupError_);
    }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
        delete song_;
        song_ = nullptr;
    }
    void SetUp() override {
        if (server_ == nullptr) GTEST_SKIP() << "pulseaudio or stress-ng is not installed";
        ASSERT_TRUE(setupError_.empty()) << setupError_;
    }

    LiveOptions options(const std::string& program, std::vector<std::string> args) const {
        LiveOptions o;
        o.server = server_->server();
        o.monitor = server_->monitor();
        o.program = program;
        o.args = std::move(args);
        o.workingDirectory = BUILD_DIR;
        o.startS = kStartS;
        o.seconds = kSeconds;
        return o;
    }
    // Runs and matches; fails the test on a gap, and returns the match.
    SongMatch playsWithoutAGap(const LiveRun& run) const {
        EXPECT_TRUE(run.error.empty()) << run.error;
        // Exact: the live stream mixes the song in the blocks the capture does.
        const SongMatch m = matchSong(run.recording, *song_, 0);
        EXPECT_TRUE(m.aligned) << "the sink never carried the song\n" << run.output;
        for (const InsertedSilence& g : m.gaps) {
            ADD_FAILURE() << g.lengthFrames * 1000.0 / 44100 << " ms of silence inserted at song "
                          << kStartS + g.songFrame / 44100.0 << " s";
        }
        EXPECT_GE((m.matchedUntil - m.firstSoundingFrame) / 44100.0, kMinMatchedSeconds)
            << "the recording left the song at " << kStartS + m.matchedUntil / 44100.0 << " s";
        return m;
    }
    // Picture minus heard over one timed run: its median lies within
    // kSyncBandMs of `aimMs`. Its spread (5th to 95th percentile) is printed,
    // not bounded: a few ms alone, about 130 ms with another job beside the
    // show, and 900 ms in the sanitizer build on a loaded machine, where
    // frames come seven a second; sound_server_bench reports it.
    static void showsTheSongHeard(const LiveRun& run, const SongMatch& m, double aimMs) {
        const std::vector<double> sync = pictureMinusHeard(run, m, kStartS);
        ASSERT_GT(sync.size(), 50u) << run.output;
        const double median = percentile(sync, 50);
        const double p5 = percentile(sync, 5);
        const double p95 = percentile(sync, 95);
        std::printf("picture minus heard: median %.1f ms (p5 %.1f / p95 %.1f) over %zu frames\n",
                    median, p5, p95, sync.size());
        EXPECT_NEAR(median, aimMs, kSyncBandMs)
            << "p5 " << p5 << " p95 " << p95 << " over " << sync.size() << " frames";
    }
    // The tests' build of talvenor, printing "host swap song=MS at=NS" for
    // every swap: small, so that frames come often and each is timed finely.
    LiveOptions syncHost(int offsetMs = 0) const {
        std::vector<std::string> args = {"--no-dialog", "--start", std::to_string(kStartS),
                                         "--window", "320x240"};
        if (offsetMs != 0) args.insert(args.end(), {"--audio-offset", std::to_string(offsetMs)});
        LiveOptions o = options(SYNC_HOST, args);
        o.environment = {{"SORVANEL_HOST_TRACE", "/dev/stdout"}, {"SORVANEL_HOST_SWAP_TIMES", "1"}};
        return o;
    }

    static PulseServer* server_;
    static std::vector<std::int16_t>* song_;
    static std::string setupError_;
};

PulseServer* ServerPlayback::server_ = nullptr;
std::vector<std::int16_t>* ServerPlayback::song_ = nullptr;
std::string ServerPlayback::setupError_;

TEST_F(ServerPlayback, TheLiveShowUnderLoadPlaysTheSongSampleForSampleWithoutAGap) {
    const LiveRun run = runLive(options(
        LIVE_LAUNCHER, {"--no-dialog", "--start", std::to_string(kStartS), "--window", "640x480"}));
    playsWithoutAGap(run);
}

TEST_F(ServerPlayback, EachFrameShowsTheSongTimeHeardAsItAppears) {
    const LiveRun run = runLive(syncHost());
    const SongMatch m = playsWithoutAGap(run);
    showsTheSongHeard(run, m, 0.0);
}

TEST_F(ServerPlayback, AnAudioOffsetHoldsThePictureBackAndLeavesTheSongAlone) {
    constexpr int kOffsetMs = 120;
    const LiveRun run = runLive(syncHost(kOffsetMs));
    // The song is the same, sample for sample: only the picture waits.
    const SongMatch m = playsWithoutAGap(run);
    showsTheSongHeard(run, m, -kOffsetMs);
}

}  // namespace
