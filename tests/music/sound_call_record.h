// A record of the calls made into the sound layer, with their arguments and
// when they were made, so that a test can check the call sequence, the fade's
// volume steps and their spacing: the listener the tests hand the layer.
#pragma once

#include <chrono>
#include <string>
#include <vector>

class SoundLayer;

struct SoundCall {
    std::string name;
    long long a = 0;
    long long b = 0;
    long long c = 0;
    std::chrono::steady_clock::time_point at;
};

// Starts a fresh record: hands `layer` the listener.
void soundTraceStart(SoundLayer& layer);
// Stops recording (takes the listener back from the layer, which must still
// be alive) and returns what was recorded.
std::vector<SoundCall> soundTraceStop();
