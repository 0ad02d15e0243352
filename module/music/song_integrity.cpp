// Bounds checks over the Impulse Tracker layout: header, order list, offset
// tables, instrument and sample headers, sample data, packed patterns and
// the song message. All arithmetic in 64 bits, so no offset can wrap.
#include "music/song_integrity.h"

#include <cstring>

namespace {

constexpr std::uint64_t kHeaderSize = 192;
constexpr std::uint64_t kInstrumentSize = 554;
constexpr std::uint64_t kSampleHeaderSize = 80;
constexpr std::uint64_t kPatternHeaderSize = 8;

class Reader {
  public:
    Reader(const std::uint8_t* data, std::uint64_t size) : data_(data), size_(size) {}
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    std::uint32_t u8(std::uint64_t at) const { return data_[at]; }
    std::uint32_t u16(std::uint64_t at) const { return data_[at] | (data_[at + 1] << 8); }
    std::uint32_t u32(std::uint64_t at) const {
        return u16(at) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    }

  private:
    const std::uint8_t* data_;
    std::uint64_t size_;
};

bool sampleComplete(const Reader& r, std::uint64_t at) {
    if (!r.has(at, kSampleHeaderSize)) return false;
    const std::uint32_t flags = r.u8(at + 0x12);
    if ((flags & 0x01) == 0) return true;  // no data
    const std::uint64_t length = r.u32(at + 0x30);
    const std::uint64_t pointer = r.u32(at + 0x48);
    if (length == 0) return true;
    if (flags & 0x08) return r.has(pointer, 1);  // compressed: its blocks carry their sizes
    const std::uint64_t bytes = length * ((flags & 0x02) ? 2 : 1) * ((flags & 0x04) ? 2 : 1);
    return r.has(pointer, bytes);
}

bool patternComplete(const Reader& r, std::uint64_t at) {
    if (at == 0) return true;  // an empty pattern
    if (!r.has(at, kPatternHeaderSize)) return false;
    return r.has(at + kPatternHeaderSize, r.u16(at));
}

bool impulseTrackerComplete(const Reader& r) {
    if (!r.has(0, kHeaderSize)) return false;
    const std::uint64_t orders = r.u16(0x20);
    const std::uint64_t instruments = r.u16(0x22);
    const std::uint64_t samples = r.u16(0x24);
    const std::uint64_t patterns = r.u16(0x26);
    const std::uint64_t tables = kHeaderSize + orders;
    if (!r.has(tables, 4 * (instruments + samples + patterns))) return false;
    if (r.u16(0x2E) & 0x01) {  // a song message
        if (!r.has(r.u32(0x38), r.u16(0x36))) return false;
    }
    std::uint64_t at = tables;
    for (std::uint64_t i = 0; i < instruments; ++i, at += 4) {
        if (!r.has(r.u32(at), kInstrumentSize)) return false;
    }
    for (std::uint64_t i = 0; i < samples; ++i, at += 4) {
        if (!sampleComplete(r, r.u32(at))) return false;
    }
    for (std::uint64_t i = 0; i < patterns; ++i, at += 4) {
        if (!patternComplete(r, r.u32(at))) return false;
    }
    return true;
}

}  // namespace

bool songDataComplete(const std::uint8_t* data, std::size_t size) {
    if (size >= 4 && std::memcmp(data, "IMPM", 4) == 0) {
        return impulseTrackerComplete(Reader(data, size));
    }
    return true;
}
