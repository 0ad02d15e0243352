// Plain stdio: "rb" to open, byte-sized fread, fseek with the origin passed
// through (0 start, 1 current, 2 end), ftell. A null handle or a negative
// size does nothing.
#include "music/song_files.h"

#include <climits>
#include <cstdio>

void* fileOpen(const char* name) {
    if (name == nullptr) return nullptr;
    return std::fopen(name, "rb");
}

void fileClose(void* handle) {
    if (handle != nullptr) std::fclose(static_cast<std::FILE*>(handle));
}

int fileRead(void* buffer, int size, void* handle) {
    if (handle == nullptr || buffer == nullptr || size <= 0) return 0;
    return static_cast<int>(
        std::fread(buffer, 1, static_cast<std::size_t>(size), static_cast<std::FILE*>(handle)));
}

int fileSeek(void* handle, int position, signed char origin) {
    if (handle == nullptr) return -1;
    return std::fseek(static_cast<std::FILE*>(handle), position, origin);
}

int fileTell(void* handle) {
    if (handle == nullptr) return -1;
    const long position = std::ftell(static_cast<std::FILE*>(handle));
    return position > INT_MAX ? -1 : static_cast<int>(position);
}
