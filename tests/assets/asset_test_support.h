// Helpers for the asset tests: a scratch directory removed afterwards,
// scoped environment variables and working directory, small files, and
// JPEG pictures made on the spot with the content tool's encoder.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "jpeg_encoder.h"

namespace assets_test {

namespace fs = std::filesystem;

class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "sorvanel-assets-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }

  private:
    std::string name_;
    std::optional<std::string> old_;
};

class ScopedWorkingDirectory {
  public:
    explicit ScopedWorkingDirectory(const std::string& path) : old_(fs::current_path()) {
        fs::current_path(path);
    }
    ~ScopedWorkingDirectory() { fs::current_path(old_); }

  private:
    fs::path old_;
};

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline bool exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// An RGB picture whose texel (x, y) has red = 40 x, green = 60 y, blue 128:
// flat enough per texel to survive JPEG coding at quality 100 nearly exactly.
inline std::vector<std::uint8_t> rampPixels(int width, int height) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<std::uint8_t>((40 * x) & 0xFF));
            rgb.push_back(static_cast<std::uint8_t>((60 * y) & 0xFF));
            rgb.push_back(128);
        }
    }
    return rgb;
}

inline std::vector<std::uint8_t> rampJpeg(int width, int height, int quality = 95) {
    const std::vector<std::uint8_t> rgb = rampPixels(width, height);
    return encodeJpeg(rgb.data(), width, height, 3, quality);
}

inline std::vector<std::uint8_t> flatJpeg(int width, int height, std::uint8_t r, std::uint8_t g,
                                          std::uint8_t b) {
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < width * height; ++i) {
        rgb.insert(rgb.end(), {r, g, b});
    }
    return encodeJpeg(rgb.data(), width, height, 3, 100);
}

}  // namespace assets_test
