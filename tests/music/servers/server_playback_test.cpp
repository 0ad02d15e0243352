// The live show on a real PulseAudio (started by the test, a null sink
// recorded from its monitor) under load: the song sample for sample without
// a gap, each frame showing the song time heard, and an audio offset that
// holds the picture back by that much.
#include "live_server_suite.h"
#include "pulse_server.h"

namespace {

class ServerPlayback : public LiveServerSuite<PulseServer> {};

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
