// One live run of the show on a sound server, measured: the show (talvenor
// or the timing host) plays a stretch of song with sound while the sink's
// monitor is recorded and, if asked, both cores are kept busy; then the
// recording is matched against the offline song of the same stretch, and
// each swap's song time is set against the song time heard at that instant.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "song_match.h"

struct LiveOptions {
    std::string server;   // PULSE_SERVER of a running server
    std::string monitor;  // the source to record
    std::string program;  // talvenor or live_sync_host
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> environment;
    std::string workingDirectory;
    int startS = 10;
    int seconds = 12;    // song heard before the show is ended
    bool loaded = true;  // stress-ng on every core meanwhile
    double deadlineSeconds = 120.0;
};

struct SwapLine {
    int songMs = 0;
    std::int64_t atNs = 0;
};

struct LiveRun {
    std::string error;  // empty when the run was measured
    std::vector<std::int16_t> recording;
    std::vector<SwapLine> swaps;
    std::string output;  // the show's stdout and stderr
    // Recording frame played at monotonic time 0 (the recorder's timing).
    double recordingOrigin = 0.0;
    bool timed = false;
    int recordingHoles = 0;  // what the recorder lost, not the show
};

LiveRun runLive(const LiveOptions& options);

// The song only, exactly as a capture carries it: talvenor --capture F.s16.
bool captureSong(const std::string& talvenor, const std::string& workingDirectory, int fromS,
                 int toS, std::vector<std::int16_t>& song, std::string& error);

// Picture minus heard, ms, for every swap after `skipMs` of song: the
// frame's song time against the song time played when the swap returned.
std::vector<double> pictureMinusHeard(const LiveRun& run, const SongMatch& match, int startS,
                                      int skipMs = 1000);

// The p-th percentile (0..100) of `values`, nearest rank; 0 when empty.
double percentile(std::vector<double> values, double p);
