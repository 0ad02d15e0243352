// Sound on real sound servers: for each server that can be started here (a
// private PulseAudio, and a private PipeWire through pipewire-pulse),
// several live runs of the show with both cores busy (stress-ng), each
// recorded from the sink and matched against the offline song. Prints the
// dropouts per minute (runs of inserted silence) and picture minus heard
// (each swap's song time against the song time played as the swap returned):
// median and 5th / 95th percentile, for each run and all runs together, and
// whether each median lies within 8 ms of its aim (0, or minus the audio
// offset): the tight figure, which the live tests leave to this program as
// it holds only on a machine whose load is the show and stress-ng alone.
// Exits 1 when a server that is installed gave no measured run (no display,
// no server, no song in the sink), or when neither server is installed.
//   sound_server_bench [runs [seconds [module [audio offset ms]]]]
// A module other than this build's (another build's sorvanel.dmd; "" for
// this build's) is played with this build's data, to compare the two.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "live_session.h"
#include "pipewire_server.h"
#include "pulse_server.h"

namespace {

constexpr int kStartS = 10;  // the first second and the burst's trails at 17 s
// Picture minus heard, median of one run, against its aim.
constexpr double kTightMs = 8.0;

struct Figures {
    int runs = 0;
    int gaps = 0;
    double gapMs = 0.0;
    double minutes = 0.0;
    std::vector<double> sync;
    int withinTight = 0;  // runs whose median lies within kTightMs of the aim
};

// The runs measured; 0 when none was.
int measure(const char* name, const std::string& server, const std::string& monitor, int runs,
            int seconds, const std::string& module, int offsetMs,
            const std::vector<std::int16_t>& song) {
    Figures f;
    const int aimMs = -offsetMs;
    for (int r = 0; r < runs; ++r) {
        LiveOptions o;
        o.server = server;
        o.monitor = monitor;
        // The tests' build of talvenor, printing each swap's song time and instant.
        o.program = SYNC_HOST;
        o.args = {"--no-dialog", "--start", std::to_string(kStartS), "--window", "320x240"};
        if (offsetMs != 0)
            o.args.insert(o.args.end(), {"--audio-offset", std::to_string(offsetMs)});
        o.args.push_back(module);
        o.environment = {{"SORVANEL_HOST_TRACE", "/dev/stdout"}, {"SORVANEL_HOST_SWAP_TIMES", "1"}};
        o.workingDirectory = BUILD_DIR;
        o.startS = kStartS;
        o.seconds = seconds;
        const LiveRun run = runLive(o);
        if (!run.error.empty()) {
            std::printf("  run %d failed: %s\n", r + 1, run.error.c_str());
            continue;
        }
        const SongMatch m = matchSong(run.recording, song);
        if (!m.aligned) {
            std::printf("  run %d: the recording does not hold the song\n", r + 1);
            continue;
        }
        const std::vector<double> sync = pictureMinusHeard(run, m, kStartS);
        double gapMs = 0.0;
        for (const InsertedSilence& g : m.gaps) gapMs += g.lengthFrames * 1000.0 / 44100;
        const double median = percentile(sync, 50);
        const bool tight = !sync.empty() && std::fabs(median - aimMs) <= kTightMs;
        std::printf(
            "  run %d: %zu gaps (%.1f ms), matched %.2f s, picture-heard median %.1f ms (p5 %.1f "
            "/ p95 %.1f, %zu frames): %s %.0f ms\n",
            r + 1, m.gaps.size(), gapMs, (m.matchedUntil - m.firstSoundingFrame) / 44100.0, median,
            percentile(sync, 5), percentile(sync, 95), sync.size(), tight ? "within" : "outside",
            kTightMs);
        f.withinTight += tight;
        ++f.runs;
        f.gaps += static_cast<int>(m.gaps.size());
        f.gapMs += gapMs;
        f.minutes += (m.matchedUntil - m.firstSoundingFrame) / 44100.0 / 60.0;
        f.sync.insert(f.sync.end(), sync.begin(), sync.end());
    }
    if (f.runs == 0) {
        std::printf("%-12s no run was measured\n", name);
        return 0;
    }
    std::printf(
        "%-12s %d runs: %.1f dropouts/min (%.1f ms inserted); picture - heard: median %.1f "
        "ms, p5 %.1f, p95 %.1f (%zu frames)\n",
        name, f.runs, f.minutes > 0 ? f.gaps / f.minutes : 0.0, f.gapMs, percentile(f.sync, 50),
        percentile(f.sync, 5), percentile(f.sync, 95), f.sync.size());
    std::printf("%-12s medians within %.0f ms of %d ms: %d of %d runs\n", name, kTightMs, aimMs,
                f.withinTight, f.runs);
    return f.runs;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 15;
    const std::string module = argc > 3 && argv[3][0] != '\0' ? argv[3] : MODULE_PATH;
    const int offsetMs = argc > 4 ? std::atoi(argv[4]) : 0;
    std::vector<std::int16_t> song;
    std::string error;
    if (!captureSong(LIVE_LAUNCHER, BUILD_DIR, kStartS, kStartS + seconds + 10, song, error)) {
        std::fprintf(stderr, "sound_server_bench: %s\n", error.c_str());
        return 1;
    }
    std::printf(
        "%s\nlive show from %d s at 320x240, %d s per run, audio offset %d ms, stress-ng on "
        "every core, cold shader cache\n",
        module.c_str(), kStartS, seconds, offsetMs);
    std::vector<std::unique_ptr<SoundServer>> servers;
    if (PulseServer::available()) {
        servers.push_back(std::make_unique<PulseServer>());
    } else {
        std::printf("PulseAudio: not installed\n");
    }
    if (PipeWireServer::available()) {
        servers.push_back(std::make_unique<PipeWireServer>());
    } else {
        std::printf("PipeWire: not installed\n");
    }
    bool measuredEach = !servers.empty();
    for (const std::unique_ptr<SoundServer>& server : servers) {
        if (!server->start(error)) {
            std::printf("%s: %s\n", server->name(), error.c_str());
            measuredEach = false;
            continue;
        }
        measuredEach &= measure(server->name(), server->server(), server->monitor(), runs, seconds,
                                module, offsetMs, song) > 0;
        server->stop();
    }
    return measuredEach ? 0 : 1;
}
