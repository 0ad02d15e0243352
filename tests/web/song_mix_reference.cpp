// The native module's offline mix of a stretch of the song, optionally with
// the closing fade's 256 volume steps laid on it (offline_song_mix.h), as
// 16-bit stereo: what the page's own mix of the same request must equal.
//   song_mix_reference SONG START_MS FRAMES FADE_FROM_FRAME OUT.s16
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "music/offline_song_mix.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s SONG START_MS FRAMES FADE_FROM_FRAME OUT.s16\n", argv[0]);
        return 2;
    }
    const OfflineSongMix request{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4])};
    std::vector<std::int16_t> samples;
    std::string error;
    if (!mixSongOffline(argv[1], request, samples, error)) {
        std::fprintf(stderr, "song_mix_reference: %s\n", error.c_str());
        return 1;
    }
    std::FILE* out = std::fopen(argv[5], "wb");
    if (out == nullptr ||
        std::fwrite(samples.data(), sizeof(std::int16_t), samples.size(), out) != samples.size() ||
        std::fclose(out) != 0) {
        std::fprintf(stderr, "song_mix_reference: cannot write %s\n", argv[5]);
        return 1;
    }
    return 0;
}
