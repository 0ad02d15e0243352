// The callbacks take int sizes; a file whose size they report is read with
// one read of that size and one more that must find its end. A file that
// grows or lies about its size is still read to its real end, in chunks.
#include "music/song_stream.h"

#include <algorithm>
#include <climits>

namespace {
constexpr std::size_t kChunk = 1 << 16;
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

long long CallbackFile::sizeHint() {
    long long size = -1;
    if (callbacks_.seek(handle_, 0, 2) == 0) size = callbacks_.tell(handle_);
    return rewind() ? size : -2;
}

bool CallbackFile::readAll(std::vector<std::uint8_t>& out, std::size_t limit) {
    out.clear();
    if (handle_ == nullptr) return false;
    const long long hint = sizeHint();
    if (hint == -2) return false;
    // One more byte than the size asked for shows the end in the same read.
    std::size_t want = hint >= 0 ? static_cast<std::size_t>(hint) + 1 : kChunk;
    for (;;) {
        const std::size_t at = out.size();
        if (at > limit) return false;
        want = std::min<std::size_t>({want, limit + 1 - at, INT_MAX});
        out.resize(at + want);
        const int got = callbacks_.read(out.data() + at, static_cast<int>(want), handle_);
        if (got < 0 || static_cast<std::size_t>(got) > want) return false;
        out.resize(at + static_cast<std::size_t>(got));
        if (got == 0) break;
        want = kChunk;
    }
    return out.size() <= limit;
}
