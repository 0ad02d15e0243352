// Processor cost of the song: mixing one second of it on the offline output
// (in a text scene, a scene with drums and the circle stretch), and loading
// it through the file callbacks. Usage: music_mix_bench [benchmark flags]
#include <benchmark/benchmark.h>

#include <vector>

#include "music/song_files.h"
#include "music/sound_layer.h"

namespace {

constexpr int kRate = 44100;

bool initialiseOffline(SoundLayer& layer) {
    layer.setOutput(kSoundOutputOffline);
    layer.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    return layer.init(kRate, 31, 0) == 1;
}

void mixOneSecond(benchmark::State& state) {
    SoundLayer layer;
    if (!initialiseOffline(layer)) {
        state.SkipWithError("sound layer did not initialise");
        return;
    }
    SoundSong* song = layer.songLoad(SORVANEL_BENCH_SONG);
    if (song == nullptr) {
        state.SkipWithError("song did not load");
        layer.close();
        return;
    }
    layer.songSetStartMs(song, static_cast<int>(state.range(0)));
    layer.songPlay(song);
    std::vector<std::int16_t> audio(kRate * 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(layer.songMixOffline(song, audio.data(), kRate));
        benchmark::ClobberMemory();
    }
    // Each iteration is one second of song: its time is the share of one core.
    state.SetItemsProcessed(state.iterations() * kRate);
    layer.songFree(song);
    layer.close();
}
// From 60 s (text scene), 240 s (scene with drums) and 985 s (circle stretch).
BENCHMARK(mixOneSecond)->Arg(60000)->Arg(240000)->Arg(985000)->Unit(benchmark::kMillisecond);

void loadSong(benchmark::State& state) {
    SoundLayer layer;
    if (!initialiseOffline(layer)) {
        state.SkipWithError("sound layer did not initialise");
        return;
    }
    for (auto _ : state) {
        SoundSong* song = layer.songLoad(SORVANEL_BENCH_SONG);
        if (song == nullptr) {
            state.SkipWithError("song did not load");
            break;
        }
        layer.songFree(song);
    }
    layer.close();
}
BENCHMARK(loadSong)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
