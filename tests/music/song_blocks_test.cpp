// The same samples whoever pulls the song: the layer's offline mix pulled in
// odd chunk sizes, with a volume change on the same frame, is identical
// sample for sample; libopenmpt read directly in such chunks is not (the
// stretch is one where chunking shows), so the test holds the blocks to
// account. Also the block FIFO's own edges, and what a part-way start
// shares with a run from the start.
#include "music/song_blocks.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "music/song_files.h"
#include "music/sound_song.h"
#include "music_test_support.h"

namespace {

constexpr int kRate = 44100;
// A stretch where the song's global volume moves (so libopenmpt's own
// output depends on its read sizes), three seconds long.
constexpr int kStartMs = 772000;
constexpr int kFrames = 132300;
constexpr int kVolumeFrame = 91111;  // the volume drops to 100 here

class BlocksTest : public SoundLayerTest {
  protected:
    // The stretch through the layer's offline output, pulled `chunk` frames
    // at a time (the volume change splits one pull).
    std::vector<std::int16_t> pulled(int chunk) {
        SoundLayer layer;
        EXPECT_EQ(layer.setOutput(kSoundOutputOffline), 1);
        EXPECT_EQ(layer.setFileCallbacks(fileOpen, fileClose, fileRead, fileSeek, fileTell), 1);
        EXPECT_EQ(layer.init(kRate, 31, 0), 1);
        SoundSong* song = layer.songLoad(builtSongPath().c_str());
        EXPECT_NE(song, nullptr);
        std::vector<std::int16_t> out(static_cast<std::size_t>(kFrames) * 2);
        if (song == nullptr) return out;
        EXPECT_EQ(layer.songSetStartMs(song, kStartMs), 1);
        EXPECT_EQ(layer.songPlay(song), 1);
        for (int done = 0; done < kFrames;) {
            if (done == kVolumeFrame) layer.songSetMasterVolume(song, 100);
            int n = std::min(chunk, kFrames - done);
            if (done < kVolumeFrame) n = std::min(n, kVolumeFrame - done);
            EXPECT_EQ(layer.songMixOffline(song, out.data() + 2 * done, n), n);
            done += n;
        }
        EXPECT_EQ(layer.songGetTimeMs(song), kStartMs + kFrames * 1000 / kRate);
        return out;
    }

    // libopenmpt alone from the same place, read `chunk` frames at a time.
    static std::vector<float> direct(int chunk) {
        const std::vector<std::uint8_t> bytes = readBytes(builtSongPath());
        openmpt_module* module = loadSongModule(bytes, 8);
        std::vector<float> out(static_cast<std::size_t>(kFrames) * 2);
        if (module == nullptr) return out;
        openmpt_module_set_position_seconds(module, kStartMs / 1000.0);
        for (int done = 0; done < kFrames;) {
            const int n = std::min(chunk, kFrames - done);
            openmpt_module_read_interleaved_float_stereo(module, kRate, n, out.data() + 2 * done);
            done += n;
        }
        openmpt_module_destroy(module);
        return out;
    }

    template <typename T>
    static int differing(const std::vector<T>& a, const std::vector<T>& b) {
        int n = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i];
        return n + static_cast<int>(std::max(a.size(), b.size()) - std::min(a.size(), b.size()));
    }
};

TEST_F(BlocksTest, LibopenmptAloneDependsOnItsReadSizeHere) {
    const std::vector<float> whole = direct(4096);
    for (const int chunk : {1, 733}) {
        const int count = differing(direct(chunk), whole);
        std::printf("libopenmpt read %d frames at a time: %d of %zu float samples differ\n", chunk,
                    count, whole.size());
        EXPECT_GT(count, 0) << chunk;
    }
}

TEST_F(BlocksTest, TheLayerGivesTheSameSamplesForEveryPullSize) {
    const std::vector<std::int16_t> reference = pulled(4096);
    double loud = 0.0;
    for (const std::int16_t s : reference) loud = std::max(loud, std::abs(double(s)));
    EXPECT_GT(loud, 1000.0);  // the stretch is not silence
    for (const int chunk : {1, 7, 733, 1024, 1025, 44100 / 60, kFrames}) {
        SCOPED_TRACE(chunk);
        EXPECT_EQ(differing(pulled(chunk), reference), 0);
    }
}

TEST_F(BlocksTest, TheFifoHandsOutBlocksOnTheSongGrid) {
    const std::vector<std::uint8_t> bytes = readBytes(builtSongPath());
    openmpt_module* a = loadSongModule(bytes, 8);
    openmpt_module* b = loadSongModule(bytes, 8);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // Through the FIFO from frame 100 in reads of 3, and libopenmpt read in
    // the grid's pieces by hand (924 frames to reach 1024, then 1024s).
    SongBlocks blocks;
    blocks.restart(100);
    constexpr int kN = 3000;
    std::vector<float> fifo(kN * 2), grid(kN * 2);
    for (int done = 0; done < kN; done += 3) blocks.read(a, kRate, fifo.data() + 2 * done, 3);
    EXPECT_EQ(blocks.frame(), 100 + kN);
    int done = 0;
    for (const int n : {924, 1024, 1024, 28}) {
        openmpt_module_read_interleaved_float_stereo(b, kRate, n, grid.data() + 2 * done);
        done += n;
    }
    EXPECT_EQ(fifo, grid);
    blocks.skip(a, kRate, 5000);
    EXPECT_EQ(blocks.frame(), 100 + kN + 5000);
    openmpt_module_destroy(a);
    openmpt_module_destroy(b);
}

}  // namespace
