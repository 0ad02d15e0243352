// Capture figures: how many times real time talvenor --capture runs at
// 640 x 480 and 1280 x 720, 60 fps, over stretches of the script's heaviest
// kinds of scene, with raw frames (no encoder) and with H.264 through ffmpeg
// at two x264 presets, so the encoder's share shows; and the start-up time from launch to a first
// frame on disk (--shot), at the opening, inside a lead-in and far into the
// show. A plain program: it runs talvenor as the user would and prints.
//   capture_bench [SECONDS-PER-STRETCH]   (default 2)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "talvenor_run.h"

namespace fs = std::filesystem;

namespace {

struct Stretch {
    const char* what;
    double from;
};

constexpr Stretch kStretches[] = {
    {"credits over the burst", 10.0},       {"text lines over figure A", 60.0},
    {"figure C with a swarm", 135.0},       {"figure B with a circle", 250.0},
    {"figure C with three swarms", 1370.0},
};

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    const fs::path scratch =
        fs::temp_directory_path() / ("capture-bench-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "runtime");
    fs::permissions(scratch / "runtime", fs::perms::owner_all);
    const fs::path runtime = scratch / "runtime";

    // llvmpipe compiles its shaders on first use: one warm-up shot.
    runTalvenor({"--shot", "0.5", (scratch / "warm.png").string()}, runtime);

    std::printf(
        "Capture at 60 fps, %.1f s of song per stretch. speed = song time / wall time;\n"
        "cpu = processor seconds (talvenor and its ffmpeg runs) per song second.\n"
        "raw: frames to a file, no encoder; x264 presets veryfast (the default) and\n"
        "ultrafast, CRF 18.\n\n",
        seconds);
    const char* presets[] = {"veryfast", "ultrafast"};
    std::printf("%-9s %-27s %13s %13s %13s\n", "size", "stretch", "raw", presets[0], presets[1]);
    std::printf("%-9s %-27s %13s %13s %13s\n", "", "", "speed   cpu", "speed   cpu", "speed   cpu");
    for (const char* size : {"640x480", "1280x720"}) {
        double wall[3] = {0, 0, 0};
        double cpu[3] = {0, 0, 0};
        for (const Stretch& s : kStretches) {
            const std::vector<std::string> common = {
                "--size", size, "--from", number(s.from), "--to", number(s.from + seconds)};
            RunFigures runs[3];
            std::vector<std::string> raw = {"--capture", (scratch / "bench.rgba").string()};
            raw.insert(raw.end(), common.begin(), common.end());
            runs[0] = runTalvenor(raw, runtime);
            for (int p = 0; p < 2; ++p) {
                std::vector<std::string> video = {"--capture", (scratch / "bench.mp4").string()};
                video.insert(video.end(), common.begin(), common.end());
                runs[1 + p] = runTalvenor(video, runtime, presets[p]);
            }
            std::printf("%-9s %-27s", size, s.what);
            for (int i = 0; i < 3; ++i) {
                if (!runs[i].ok) {
                    std::printf(" %13s", "failed");
                    continue;
                }
                wall[i] += runs[i].wallSeconds;
                cpu[i] += runs[i].cpuSeconds;
                std::printf(" %6.2fx %5.2f", seconds / runs[i].wallSeconds,
                            runs[i].cpuSeconds / seconds);
            }
            std::printf("\n");
            fs::remove(scratch / "bench.rgba");
            fs::remove(scratch / "bench.rgba.s16");
            fs::remove(scratch / "bench.mp4");
        }
        const double total = seconds * (sizeof kStretches / sizeof kStretches[0]);
        std::printf("%-9s %-27s", size, "all stretches");
        for (int i = 0; i < 3; ++i) std::printf(" %6.2fx %5.2f", total / wall[i], cpu[i] / total);
        std::printf(
            "\n%-9s encoder's share of the wall time: %.0f%% (veryfast), %.0f%% "
            "(ultrafast)\n\n",
            size, 100.0 * (wall[1] - wall[0]) / wall[1], 100.0 * (wall[2] - wall[0]) / wall[2]);
    }

    std::printf("Start-up: launch to the first frame written (--shot, 1280x720), best of 3\n");
    const struct {
        const char* at;
        const char* what;
    } shots[] = {{"0", "the opening"},
                 {"18.4", "end of the burst's trails (85 frames of lead-in)"},
                 {"1500", "far into the show (90,000 frames walked)"}};
    for (const auto& shot : shots) {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            const RunFigures f =
                runTalvenor({"--shot", shot.at, (scratch / "start.png").string()}, runtime);
            if (f.ok && f.wallSeconds < best) best = f.wallSeconds;
        }
        std::printf("  at %6s s  %-50s %6.0f ms\n", shot.at, shot.what, best * 1000.0);
    }
    fs::remove_all(scratch);
    return 0;
}
