// The callbacks take int sizes and positions; larger requests are split and
// positions that do not fit are refused rather than truncated.
#include "music/song_stream.h"

#include <algorithm>
#include <climits>

namespace {
constexpr int kChunk = 1 << 16;
}

CallbackFile::CallbackFile(const SoundFileCallbacks& callbacks, const char* name)
    : callbacks_(callbacks) {
    if (callbacks_.complete() && name != nullptr) handle_ = callbacks_.open(name);
}

CallbackFile::~CallbackFile() {
    if (handle_ != nullptr) callbacks_.close(handle_);
}

bool CallbackFile::rewind() {
    return handle_ != nullptr && callbacks_.seek(handle_, 0, 0) == 0;
}

bool CallbackFile::readAll(std::vector<std::uint8_t>& out, std::size_t limit) {
    out.clear();
    if (!rewind()) return false;
    for (;;) {
        const std::size_t at = out.size();
        if (at > limit) return false;
        out.resize(at + kChunk);
        const int got = callbacks_.read(out.data() + at, kChunk, handle_);
        if (got < 0 || got > kChunk) return false;
        out.resize(at + static_cast<std::size_t>(got));
        if (got == 0) break;
    }
    return out.size() <= limit;
}

openmpt_stream_callbacks CallbackFile::streamCallbacks() {
    return openmpt_stream_callbacks{&CallbackFile::streamRead, &CallbackFile::streamSeek,
                                    &CallbackFile::streamTell};
}

std::size_t CallbackFile::streamRead(void* stream, void* dst, std::size_t bytes) {
    auto* self = static_cast<CallbackFile*>(stream);
    std::size_t done = 0;
    while (done < bytes) {
        const int want = static_cast<int>(std::min<std::size_t>(bytes - done, INT_MAX));
        const int got =
            self->callbacks_.read(static_cast<std::uint8_t*>(dst) + done, want, self->handle_);
        if (got <= 0 || got > want) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

int CallbackFile::streamSeek(void* stream, std::int64_t offset, int whence) {
    auto* self = static_cast<CallbackFile*>(stream);
    if (offset < INT_MIN || offset > INT_MAX) return -1;
    signed char origin;
    switch (whence) {
        case OPENMPT_STREAM_SEEK_SET:
            origin = 0;
            break;
        case OPENMPT_STREAM_SEEK_CUR:
            origin = 1;
            break;
        case OPENMPT_STREAM_SEEK_END:
            origin = 2;
            break;
        default:
            return -1;
    }
    return self->callbacks_.seek(self->handle_, static_cast<int>(offset), origin) == 0 ? 0 : -1;
}

std::int64_t CallbackFile::streamTell(void* stream) {
    auto* self = static_cast<CallbackFile*>(stream);
    return self->callbacks_.tell(self->handle_);
}
