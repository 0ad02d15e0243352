// What the show benchmarks share: the pictures loaded as Init loads them, the
// show host's default projection and fixed GL state, and timing helpers.
#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

#include "common/dmd_api.h"

class TextureSlot;

using BenchClock = std::chrono::steady_clock;

double msSince(BenchClock::time_point start);

// Processor time of the whole process (llvmpipe's rasteriser threads
// included): unlike wall time, it barely changes when other programs load
// the machine.
double processCpuMs();

// The nine pictures, unpacked from a copy of the built archive in a scratch
// folder and loaded into slots; the folder goes with the object.
struct BenchPictures {
    explicit BenchPictures(TextureSlot* slots);
    ~BenchPictures();
    BenchPictures(const BenchPictures&) = delete;
    BenchPictures& operator=(const BenchPictures&) = delete;

    std::filesystem::path root;
    int loaded = 0;
};

// One instant of the script: its event (numbered from 0) and song time.
struct BenchScene {
    int event;
    double songSeconds;
};

// The script's heaviest mesh scenes: the middle of the circle events (52 to
// 66) and of the triple swarms (82 to 84), and event 8 a few seconds in,
// while its first text line crosses the view.
std::vector<BenchScene> heaviestMeshScenes();

// The show host's default projection and fixed GL state for a picture that
// fills a drawable of this size (viewport 0, 0, width, height; left -5,
// right 5, top and bottom +-5 / aspect), set as the host sets them.
FrustumParams applyHostState(int width, int height);
