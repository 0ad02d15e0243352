// The live show on a private PipeWire (through pipewire-pulse, as Debian's
// desktop plays it) under load: the null sink carries the offline song
// sample for sample with no inserted silence, and each frame shows the song
// time heard as it appears. Skipped where PipeWire, WirePlumber,
// pipewire-pulse or stress-ng is missing.
#include "live_server_suite.h"
#include "pipewire_server.h"

namespace {

class PipeWirePlayback : public LiveServerSuite<PipeWireServer> {};

TEST_F(PipeWirePlayback, TheLiveShowUnderLoadPlaysTheSongWithoutAHoleAndInStep) {
    const LiveRun run = runLive(syncHost());
    const SongMatch m = playsWithoutAGap(run);
    showsTheSongHeard(run, m, 0.0);
}

}  // namespace
