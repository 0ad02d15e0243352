// Shared by the music tests: the song the build made, scratch files in a
// private temporary folder, and a fixture that leaves the call record
// stopped and SDL's driver choice unset after each test (each test's sound
// layer closes with its owner).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "music/sound_layer.h"
#include "sound_call_record.h"

inline std::string builtSongPath() {
    return SORVANEL_TEST_SONG;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::vector<std::uint8_t> out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return out;
    std::uint8_t buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.insert(out.end(), buffer, buffer + n);
    std::fclose(f);
    return out;
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

class ScratchFolder {
  public:
    ScratchFolder() {
        char pattern[] = "/tmp/sorvanel-music-XXXXXX";
        const char* made = mkdtemp(pattern);
        path_ = made != nullptr ? made : "/tmp";
    }
    ~ScratchFolder() {
        for (const std::string& f : files_) std::remove(f.c_str());
        rmdir(path_.c_str());
    }
    std::string file(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

  private:
    std::string path_;
    std::vector<std::string> files_;
};

class SoundLayerTest : public testing::Test {
  protected:
    void TearDown() override {
        soundTraceStop();
        unsetenv("SDL_AUDIODRIVER");
    }

    static std::vector<std::string> names(const std::vector<SoundCall>& calls) {
        std::vector<std::string> out;
        for (const SoundCall& c : calls) out.push_back(c.name);
        return out;
    }
};
