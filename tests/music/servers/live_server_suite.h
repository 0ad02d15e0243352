// The live show on a private sound server while stress-ng keeps every core
// busy and the shader cache is cold: one server for the whole suite, the
// offline song of the stretch played, and the checks each test makes of a
// run: the sink carries that song sample for sample from the start on with
// no inserted silence, and each frame shows the song time heard as it
// appears. The sync band is one a loaded 2-core machine meets with another
// job beside it; the tight figure, 8 ms, is sound_server_bench's.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "live_session.h"

template <class Server>
class LiveServerSuite : public ::testing::Test {
  protected:
    static constexpr int kStartS = 10;  // the first second's new GL state, the trails at 17 s
    static constexpr int kSeconds = 12;
    static constexpr double kMinMatchedSeconds = 11.0;
    // Picture minus heard, median, against its aim (0, or minus the offset).
    // With only stress-ng beside the show one run lands within 8 ms; with
    // another job on the same two cores a median has moved by 10.5 ms. A
    // clock that ignores the server's queue (a second) or the offset is far
    // outside this band.
    static constexpr double kSyncBandMs = 40.0;

    static void SetUpTestSuite() {
        if (!Server::available() || std::system("command -v stress-ng >/dev/null") != 0) return;
        server_ = std::make_unique<Server>();
        if (!server_->start(setupError_)) return;
        captureSong(LIVE_LAUNCHER, BUILD_DIR, kStartS, kStartS + 30, song_, setupError_);
    }
    static void TearDownTestSuite() {
        server_.reset();
        song_.clear();
    }
    void SetUp() override {
        if (!server_) GTEST_SKIP() << "this server's programs or stress-ng are not installed";
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

    // Matches the recording; fails the test on a gap, and returns the match.
    // Exact: the live stream mixes the song in the blocks the capture does.
    SongMatch playsWithoutAGap(const LiveRun& run) const {
        EXPECT_TRUE(run.error.empty()) << run.error << "\n" << server_->log();
        EXPECT_EQ(run.recordingHoles, 0) << "the recorder lost audio: the run says nothing";
        const SongMatch m = matchSong(run.recording, song_, 0);
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
    void showsTheSongHeard(const LiveRun& run, const SongMatch& m, double aimMs) const {
        const std::vector<double> sync = pictureMinusHeard(run, m, kStartS);
        ASSERT_GT(sync.size(), 50u) << run.output;
        const double median = percentile(sync, 50);
        const double p5 = percentile(sync, 5);
        const double p95 = percentile(sync, 95);
        std::printf("%s: picture minus heard median %.1f ms (p5 %.1f / p95 %.1f), %zu frames\n",
                    server_->name(), median, p5, p95, sync.size());
        EXPECT_NEAR(median, aimMs, kSyncBandMs)
            << "p5 " << p5 << " p95 " << p95 << " over " << sync.size() << " frames";
    }

    inline static std::unique_ptr<Server> server_;
    inline static std::vector<std::int16_t> song_;
    inline static std::string setupError_;
};
