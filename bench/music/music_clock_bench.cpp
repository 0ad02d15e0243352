// The show's clock on the silent output against the wall clock: the song is
// started as the module starts it (no sound), and its time is read about
// every millisecond for 30 s (or the seconds given). Prints the drift (the
// clock's rate against real time, and where it ends up), the jitter (spread
// of clock minus wall time) and how often a 60 Hz frame would see no change.
// Usage: music_clock_bench [seconds]
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "music/song_player.h"

int main(int argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    std::array<char, 256> buffer{};
    char* target = buffer.data();
    SongPlayer player;
    player.setSongName(SORVANEL_BENCH_SONG);
    if (!player.open(&target, 0)) {
        std::printf("open failed: %s\n", buffer.data());
        return 1;
    }
    player.play();
    const Clock::time_point start = Clock::now();
    std::vector<double> wall, song;
    for (;;) {
        const double w = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (w > seconds * 1000.0) break;
        wall.push_back(w);
        song.push_back(player.timeMs());
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    player.close(0);

    // Least-squares line song = a + b * wall over the run.
    const double n = static_cast<double>(wall.size());
    double sw = 0, ss = 0, sww = 0, sws = 0;
    for (std::size_t i = 0; i < wall.size(); ++i) {
        sw += wall[i];
        ss += song[i];
        sww += wall[i] * wall[i];
        sws += wall[i] * song[i];
    }
    const double b = (n * sws - sw * ss) / (n * sww - sw * sw);
    const double a = (ss - b * sw) / n;
    double spread = 0.0, worst = 0.0, sumOffset = 0.0;
    for (std::size_t i = 0; i < wall.size(); ++i) {
        const double residual = song[i] - (a + b * wall[i]);
        spread += residual * residual;
        worst = std::max(worst, std::fabs(residual));
        sumOffset += wall[i] - song[i];
    }
    // A 60 Hz frame loop reading the clock: frames that saw the same time as the frame before.
    int frames = 0, stalled = 0;
    double nextFrame = 0.0;
    double previous = -1.0;
    for (std::size_t i = 0; i < wall.size(); ++i) {
        if (wall[i] < nextFrame) continue;
        nextFrame += 1000.0 / 60.0;
        if (song[i] == previous) ++stalled;
        previous = song[i];
        ++frames;
    }
    std::printf("silent output clock over %.1f s (%zu readings)\n", wall.back() / 1000.0,
                wall.size());
    std::printf("  rate against wall clock: %.6f x (drift %+.1f ms per minute)\n", b,
                (b - 1.0) * 60000.0);
    std::printf("  clock at the end: %.0f ms after %.0f ms of wall time (behind by %.1f ms)\n",
                song.back(), wall.back(), wall.back() - song.back());
    std::printf("  mean lag behind wall time: %.2f ms\n", sumOffset / n);
    std::printf("  jitter about the fitted line: %.2f ms rms, %.2f ms worst\n",
                std::sqrt(spread / n), worst);
    std::printf("  60 Hz frames that saw an unchanged clock: %d of %d\n", stalled, frames);
    return 0;
}
