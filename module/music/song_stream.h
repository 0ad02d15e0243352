// Reading a song file through the five file callbacks, once and whole: the
// layer checks the bytes and hands them to libopenmpt from memory, so the
// loader's many small reads and seeks never reach the file.
#pragma once

#include <cstdint>
#include <vector>

#include "music/sound_layer.h"

struct SoundFileCallbacks {
    SoundFileOpen open = nullptr;
    SoundFileClose close = nullptr;
    SoundFileRead read = nullptr;
    SoundFileSeek seek = nullptr;
    SoundFileTell tell = nullptr;

    bool complete() const { return open && close && read && seek && tell; }
};

// One file opened through the callbacks; closed on destruction.
class CallbackFile {
  public:
    CallbackFile(const SoundFileCallbacks& callbacks, const char* name);
    ~CallbackFile();
    CallbackFile(const CallbackFile&) = delete;
    CallbackFile& operator=(const CallbackFile&) = delete;

    bool isOpen() const { return handle_ != nullptr; }
    // Reads from the start to the end of the file; false on a read error or
    // when the file is longer than `limit` bytes.
    bool readAll(std::vector<std::uint8_t>& out, std::size_t limit);
    bool rewind();

  private:
    // The size the end position reports, or -1; the position is back at 0.
    long long sizeHint();

    SoundFileCallbacks callbacks_;
    void* handle_ = nullptr;
};
