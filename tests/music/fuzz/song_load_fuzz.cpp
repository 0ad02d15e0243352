// libFuzzer target for loading a song: the input is written to a private
// file, loaded by name through the module's file callbacks on the offline
// output, and when it loads, played and mixed for a moment, then freed.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "music/song_files.h"
#include "music/sound_layer.h"

namespace {

std::string scratchPath() {
    static const std::string path = "/tmp/sorvanel-song-fuzz-" + std::to_string(getpid()) + ".it";
    return path;
}

SoundLayer layer;
bool initialised = [] {
    layer.setOutput(kSoundOutputOffline);
    layer.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell);
    return layer.init(44100, 31, 0) == 1;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!initialised) return 0;
    const std::string path = scratchPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    std::fclose(f);
    if (written) {
        if (SoundSong* song = layer.songLoad(path.c_str())) {
            layer.songPlay(song);
            std::vector<std::int16_t> audio(512 * 2);
            for (int i = 0; i < 4; ++i) layer.songMixOffline(song, audio.data(), 512);
            layer.songGetTimeMs(song);
            layer.songStop(song);
            layer.songFree(song);
        }
    }
    std::remove(path.c_str());
    return 0;
}
