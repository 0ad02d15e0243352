// Implements glyphs.bin's writer and its careful reader: every count is
// checked against the bytes left before anything is allocated for it.
#include "effects/glyph_file.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr char kMagic[8] = {'S', 'V', 'G', 'L', 'Y', 'P', 'H', '1'};
constexpr std::size_t kMaxFileSize = 64u << 20;
constexpr std::uint32_t kMaxFamilyLength = 1024;

class Writer {
  public:
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const char*>(p);
        out.insert(out.end(), b, b + n);
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    void f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
    }
    void f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        u32(static_cast<std::uint32_t>(bits));
        u32(static_cast<std::uint32_t>(bits >> 32));
    }
    std::string out;
};

class Reader {
  public:
    explicit Reader(const std::string& data) : data_(data) {}
    bool bytes(void* p, std::size_t n) {
        if (left() < n) return false;
        std::memcpy(p, data_.data() + at_, n);
        at_ += n;
        return true;
    }
    bool u32(std::uint32_t& v) {
        unsigned char b[4];
        if (!bytes(b, 4)) return false;
        v = b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
        return true;
    }
    bool f32(float& v) {
        std::uint32_t bits;
        if (!u32(bits)) return false;
        std::memcpy(&v, &bits, 4);
        return std::isfinite(v);
    }
    bool f64(double& v) {
        std::uint32_t low, high;
        if (!u32(low) || !u32(high)) return false;
        const std::uint64_t bits = static_cast<std::uint64_t>(high) << 32 | low;
        std::memcpy(&v, &bits, 8);
        return std::isfinite(v);
    }
    std::size_t left() const { return data_.size() - at_; }

  private:
    const std::string& data_;
    std::size_t at_ = 0;
};

bool readGlyph(Reader& in, GlyphGeometry& g) {
    std::uint32_t runs = 0;
    if (!in.f64(g.advance) || !in.u32(runs)) return false;
    // A run takes at least 16 bytes.
    if (runs > in.left() / 16) return false;
    std::size_t vertices = 0;
    g.runs.resize(runs);
    for (GlyphRun& run : g.runs) {
        std::uint32_t count = 0;
        if (!in.f32(run.normal[0]) || !in.f32(run.normal[1]) || !in.f32(run.normal[2]) ||
            !in.u32(count) || count > in.left() / 12) {
            return false;
        }
        run.positions.resize(static_cast<std::size_t>(count) * 3);
        for (float& v : run.positions) {
            if (!in.f32(v)) return false;
        }
        vertices += count;
    }
    return vertices % 3 == 0;
}

}  // namespace

bool writeGlyphFile(const std::string& path, const GlyphFile& file, std::string& error) {
    Writer w;
    w.bytes(kMagic, sizeof kMagic);
    w.u32(static_cast<std::uint32_t>(file.glyphs.size()));
    w.f32(file.depth);
    w.u32(static_cast<std::uint32_t>(file.family.size()));
    w.bytes(file.family.data(), file.family.size());
    for (const GlyphGeometry& g : file.glyphs) {
        w.f64(g.advance);
        w.u32(static_cast<std::uint32_t>(g.runs.size()));
        for (const GlyphRun& run : g.runs) {
            for (const float n : run.normal) w.f32(n);
            w.u32(static_cast<std::uint32_t>(run.positions.size() / 3));
            for (const float v : run.positions) w.f32(v);
        }
    }
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(w.out.data(), static_cast<std::streamsize>(w.out.size()));
        if (!out.flush()) {
            error = "cannot write " + partial;
            std::remove(partial.c_str());
            return false;
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + partial + " to " + path;
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

bool readGlyphFile(const std::string& path, GlyphFile& file, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string data;
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (data.size() > kMaxFileSize) {
        error = path + " is too large";
        return false;
    }
    Reader r(data);
    char magic[sizeof kMagic];
    std::uint32_t count = 0, familyLength = 0;
    GlyphFile read;
    if (!r.bytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        error = path + " is not a glyph file";
        return false;
    }
    if (!r.u32(count) || !r.f32(read.depth) || !r.u32(familyLength) ||
        familyLength > kMaxFamilyLength || count > r.left() / 12) {
        error = path + " has a damaged header";
        return false;
    }
    read.family.resize(familyLength);
    if (!r.bytes(read.family.data(), familyLength)) {
        error = path + " has a damaged header";
        return false;
    }
    read.glyphs.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!readGlyph(r, read.glyphs[i])) {
            error = path + ": glyph " + std::to_string(i) + " is damaged";
            return false;
        }
    }
    if (r.left() != 0) {
        error = path + " has bytes after its last glyph";
        return false;
    }
    file = std::move(read);
    return true;
}
