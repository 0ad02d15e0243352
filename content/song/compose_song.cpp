// The composer tool: writes the song "Sorvanel.it" to the path it is given.
// Usage: compose_song OUTPUT.it
#include <cstdio>
#include <exception>

#include "song_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.it\n", argv[0]);
        return 2;
    }
    try {
        const std::vector<std::uint8_t> bytes = songFileBytes();
        std::FILE* f = std::fopen(argv[1], "wb");
        if (f == nullptr) {
            std::perror(argv[1]);
            return 1;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (std::fclose(f) != 0 || !written) {
            std::perror(argv[1]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "compose_song: %s\n", e.what());
        return 1;
    }
    return 0;
}
