// Reading songs: the five stdio callbacks, the song read whole through them,
// and the completeness check that turns a cut-off file away.
#include <gtest/gtest.h>

#include "music/song_files.h"
#include "music/song_integrity.h"
#include "music/song_stream.h"
#include "music_test_support.h"

namespace {

TEST(SongFiles, ReadSeekAndTellOverStdio) {
    ScratchFolder folder;
    const std::string path = folder.file("ten.bin");
    writeBytes(path, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(fileOpen((path + ".missing").c_str()), nullptr);
    EXPECT_EQ(fileOpen(nullptr), nullptr);
    void* f = fileOpen(path.c_str());
    ASSERT_NE(f, nullptr);
    std::uint8_t buffer[16] = {};
    EXPECT_EQ(fileRead(buffer, 4, f), 4);
    EXPECT_EQ(buffer[3], 3);
    EXPECT_EQ(fileTell(f), 4);
    EXPECT_EQ(fileSeek(f, 2, 1), 0);  // from the current position
    EXPECT_EQ(fileRead(buffer, 1, f), 1);
    EXPECT_EQ(buffer[0], 6);
    EXPECT_EQ(fileSeek(f, -3, 2), 0);  // from the end
    EXPECT_EQ(fileRead(buffer, 16, f), 3);
    EXPECT_EQ(buffer[0], 7);
    EXPECT_EQ(fileSeek(f, 1, 0), 0);  // from the start
    EXPECT_EQ(fileTell(f), 1);
    EXPECT_EQ(fileRead(buffer, -5, f), 0);
    EXPECT_NE(fileSeek(f, -20, 0), 0);
    fileClose(f);
    EXPECT_EQ(fileRead(buffer, 4, nullptr), 0);
    EXPECT_EQ(fileTell(nullptr), -1);
    fileClose(nullptr);
}

TEST(SongStream, ReadsTheWholeFileAndRefusesPositionsTheCallbacksCannotCarry) {
    const SoundFileCallbacks callbacks{fileOpen, fileClose, fileRead, fileSeek, fileTell};
    CallbackFile missing(callbacks, "/nonexistent/song.it");
    EXPECT_FALSE(missing.isOpen());
    CallbackFile file(callbacks, builtSongPath().c_str());
    ASSERT_TRUE(file.isOpen());
    std::vector<std::uint8_t> all;
    ASSERT_TRUE(file.readAll(all, 64u << 20));
    EXPECT_EQ(all, readBytes(builtSongPath()));
    std::vector<std::uint8_t> limited;
    EXPECT_FALSE(file.readAll(limited, 1000));
}

// The callbacks again, counting what reaches the file.
struct CallCounts {
    int reads = 0;
    int seeks = 0;
    int tells = 0;
} counts;
int countedRead(void* buffer, int size, void* handle) {
    ++counts.reads;
    return fileRead(buffer, size, handle);
}
int countedSeek(void* handle, int position, signed char origin) {
    ++counts.seeks;
    return fileSeek(handle, position, origin);
}
int countedTell(void* handle) {
    ++counts.tells;
    return fileTell(handle);
}

using SongLoadCalls = SoundLayerTest;

TEST_F(SongLoadCalls, TheSongIsLoadedWithAFewCallsThroughTheCallbacks) {
    counts = {};
    SoundLayer layer;
    ASSERT_EQ(layer.setOutput(kSoundOutputOffline), 1);
    ASSERT_EQ(layer.setFileCallbacks(fileOpen, fileClose, countedRead, countedSeek, countedTell),
              1);
    ASSERT_EQ(layer.init(44100, 31, 0), 1);
    SoundSong* song = layer.songLoad(builtSongPath().c_str());
    EXPECT_NE(song, nullptr);
    layer.close();
    // Size, one read of it, one that finds the end.
    EXPECT_EQ(counts.reads, 2);
    EXPECT_LE(counts.seeks, 2);
    EXPECT_EQ(counts.tells, 1);
}

TEST(SongIntegrity, AnImpulseTrackerFileCutAnywhereIsIncomplete) {
    const std::vector<std::uint8_t> song = readBytes(builtSongPath());
    ASSERT_GT(song.size(), 100000u);
    EXPECT_TRUE(songDataComplete(song.data(), song.size()));
    for (std::size_t cut : {std::size_t{4}, std::size_t{191}, std::size_t{192}, std::size_t{700},
                            song.size() / 3, song.size() / 2, song.size() - 1}) {
        EXPECT_FALSE(songDataComplete(song.data(), cut)) << cut;
    }
    // Offsets pointing outside the file are caught however large they are.
    std::vector<std::uint8_t> bad = song;
    const std::size_t tables = 192 + (bad[0x20] | bad[0x21] << 8);
    for (int i = 0; i < 4; ++i) bad[tables + i] = 0xFF;  // the first instrument's offset
    EXPECT_FALSE(songDataComplete(bad.data(), bad.size()));
}

TEST(SongIntegrity, OtherDataIsLeftToTheLoader) {
    const char text[] = "not a module at all";
    EXPECT_TRUE(songDataComplete(reinterpret_cast<const std::uint8_t*>(text), sizeof text));
    EXPECT_TRUE(songDataComplete(nullptr, 0));
}

}  // namespace
