// Reading a song file through the five file callbacks: the whole file for
// the layer's own checks, and the same file as libopenmpt stream callbacks
// for the loader. Needs libopenmpt's stream types.
#pragma once

#include <libopenmpt/libopenmpt.h>

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

    // The file as a libopenmpt stream; pass this object as the stream.
    static openmpt_stream_callbacks streamCallbacks();

  private:
    static std::size_t streamRead(void* stream, void* dst, std::size_t bytes);
    static int streamSeek(void* stream, std::int64_t offset, int whence);
    static std::int64_t streamTell(void* stream);

    SoundFileCallbacks callbacks_;
    void* handle_ = nullptr;
};
