// Plain stdio: a regular file opened for reading ("rb"), byte-sized fread,
// fseek with the origin passed through (0 start, 1 current, 2 end), ftell. A
// null handle or a negative size does nothing.
#include "music/song_files.h"

#include <climits>
#include <cstdio>
#include <string>

#include "common/failure_detail.h"
#include "common/plain_files.h"

// Opened without waiting: a FIFO planted at the song's name would block a
// plain fopen until someone wrote to it. Why a file cannot be opened goes to
// the module's failure detail.
void* fileOpen(const char* name) {
    if (name == nullptr) return nullptr;
    std::string why;
    std::FILE* file = openPlainStream(name, why);
    if (file == nullptr) noteFailureDetail(why);
    return file;
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
