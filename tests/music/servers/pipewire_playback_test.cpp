// The live show on a private PipeWire (through pipewire-pulse, as Debian's
// desktop plays it) while stress-ng keeps every core busy: the null sink
// carries the offline song sample for sample with no inserted silence, and
// each frame shows the song time heard as it appears. Skipped where
// PipeWire, WirePlumber, pipewire-pulse or stress-ng is missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "live_session.h"
#include "pipewire_server.h"

namespace {

constexpr int kStartS = 10;
constexpr int kSeconds = 12;
constexpr double kMinMatchedSeconds = 11.0;
// The same band as on PulseAudio (server_playback_test.cpp).
constexpr double kSyncBandMs = 40.0;

class PipeWirePlayback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!PipeWireServer::available() || std::system("command -v stress-ng >/dev/null") != 0) {
            return;
        }
        server_ = new PipeWireServer;
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
        if (server_ == nullptr) GTEST_SKIP() << "PipeWire or stress-ng is not installed";
        ASSERT_TRUE(setupError_.empty()) << setupError_;
    }

    // The tests' build of talvenor, printing each swap's song time and
    // instant, playing from kStartS under load.
    LiveRun play() const {
        LiveOptions o;
        o.server = server_->server();
        o.monitor = server_->monitor();
        o.program = SYNC_HOST;
        o.args = {"--no-dialog", "--start", std::to_string(kStartS), "--window", "320x240"};
        o.environment = {{"SORVANEL_HOST_TRACE", "/dev/stdout"}, {"SORVANEL_HOST_SWAP_TIMES", "1"}};
        o.workingDirectory = BUILD_DIR;
        o.startS = kStartS;
        o.seconds = kSeconds;
        return runLive(o);
    }

    static PipeWireServer* server_;
    static std::vector<std::int16_t>* song_;
    static std::string setupError_;
};

PipeWireServer* PipeWirePlayback::server_ = nullptr;
std::vector<std::int16_t>* PipeWirePlayback::song_ = nullptr;
std::string PipeWirePlayback::setupError_;

TEST_F(PipeWirePlayback, TheLiveShowUnderLoadPlaysTheSongWithoutAHoleAndInStep) {
    const LiveRun run = play();
    ASSERT_TRUE(run.error.empty()) << run.error << "\n" << server_->log();
    EXPECT_EQ(run.recordingHoles, 0) << "the recorder lost audio: the run says nothing";
    const SongMatch m = matchSong(run.recording, *song_, 0);
    ASSERT_TRUE(m.aligned) << "the sink never carried the song\n" << run.output;
    for (const InsertedSilence& g : m.gaps) {
        ADD_FAILURE() << g.lengthFrames * 1000.0 / 44100 << " ms of silence inserted at song "
                      << kStartS + g.songFrame / 44100.0 << " s";
    }
    EXPECT_GE((m.matchedUntil - m.firstSoundingFrame) / 44100.0, kMinMatchedSeconds)
        << "the recording left the song at " << kStartS + m.matchedUntil / 44100.0 << " s";

    const std::vector<double> sync = pictureMinusHeard(run, m, kStartS);
    ASSERT_GT(sync.size(), 50u) << run.output;
    const double median = percentile(sync, 50);
    std::printf("PipeWire: picture minus heard median %.1f ms (p5 %.1f / p95 %.1f), %zu frames\n",
                median, percentile(sync, 5), percentile(sync, 95), sync.size());
    EXPECT_NEAR(median, 0.0, kSyncBandMs);
}

}  // namespace
