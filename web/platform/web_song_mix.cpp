// The page's offline mix of the song, for its tests: the samples the page's
// mixer makes for a stretch, read back from the page and held against the
// native module's. Only while no show runs (one sound layer per page).
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/data_files.h"
#include "music/offline_song_mix.h"

namespace {
std::vector<std::int16_t> mixed;
}

// Interleaved 16-bit stereo of `frames` frames from startMs (the fade's
// steps from fadeFromFrame on, -1 for none); null when the song could not
// be mixed, the reason on the console.
extern "C" EMSCRIPTEN_KEEPALIVE const std::int16_t* sorvanelSongMix(int startMs, int frames,
                                                                    int fadeFromFrame) {
    std::string error;
    const std::string path = dataFilePath("Sorvanel.it");
    if (!mixSongOffline(path.c_str(), {startMs, frames, fadeFromFrame}, mixed, error)) {
        emscripten_log(EM_LOG_ERROR, "sorvanelSongMix: %s", error.c_str());
        return nullptr;
    }
    return mixed.data();
}
