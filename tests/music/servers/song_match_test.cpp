// The matcher on made-up recordings: a shifted exact copy, a copy off by one
// step, inserted silence found with its place and length, and a recording
// that drifts from the song or never holds it.
#include "song_match.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A second of something song-like: two detuned tones with a slow swell,
// after 100 silent frames.
std::vector<std::int16_t> song(int frames = 44100) {
    std::vector<std::int16_t> s(static_cast<std::size_t>(frames) * 2, 0);
    for (int i = 100; i < frames; ++i) {
        const double t = i / 44100.0;
        const double swell = 0.5 + 0.5 * std::sin(2 * M_PI * 0.7 * t);
        s[2 * i] = static_cast<std::int16_t>(9000 * swell * std::sin(2 * M_PI * 440.3 * t) +
                                             3000 * std::sin(2 * M_PI * 1234.5 * t));
        s[2 * i + 1] = static_cast<std::int16_t>(8000 * swell * std::sin(2 * M_PI * 330.1 * t));
    }
    return s;
}

std::vector<std::int16_t> silence(int frames) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(frames) * 2, 0);
}

std::vector<std::int16_t> join(std::initializer_list<std::vector<std::int16_t>> parts) {
    std::vector<std::int16_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

std::vector<std::int16_t> frames(const std::vector<std::int16_t>& s, int from, int to) {
    return std::vector<std::int16_t>(s.begin() + 2 * from, s.begin() + 2 * to);
}

TEST(SongMatch, FindsAShiftedCopyAndMatchesItToTheEndWithinOneStep) {
    const auto ref = song();
    auto rec = join({silence(5000), ref, silence(3000)});
    for (std::size_t i = 0; i < rec.size(); i += 7) rec[i] += (i % 2) ? 1 : -1;
    const SongMatch m = matchSong(rec, ref);
    ASSERT_TRUE(m.aligned);
    EXPECT_EQ(m.shift, 5000);
    EXPECT_EQ(m.firstSoundingFrame, 100);
    EXPECT_EQ(m.matchedUntil, 44100);
    EXPECT_TRUE(m.gaps.empty());
}

TEST(SongMatch, ReportsEachRunOfInsertedSilenceWhereItFellAndHowLong) {
    const auto ref = song();
    const auto rec = join({silence(700), frames(ref, 0, 10000), silence(62),
                           frames(ref, 10000, 30000), silence(3528), frames(ref, 30000, 44100)});
    const SongMatch m = matchSong(rec, ref);
    ASSERT_TRUE(m.aligned);
    EXPECT_EQ(m.shift, 700);
    ASSERT_EQ(m.gaps.size(), 2u);
    EXPECT_EQ(m.gaps[0].songFrame, 10000);
    EXPECT_EQ(m.gaps[0].lengthFrames, 62);
    EXPECT_EQ(m.gaps[1].songFrame, 30000);
    EXPECT_EQ(m.gaps[1].lengthFrames, 3528);
    EXPECT_EQ(m.gaps[1].skippedFrames, 0);
    EXPECT_EQ(m.matchedUntil, 44100);
}

TEST(SongMatch, AnUnderrunThatDropsTheLateAudioIsOneGapWithItsLoss) {
    const auto ref = song();
    const auto rec = join({frames(ref, 0, 20000), silence(768), frames(ref, 20242, 44100)});
    const SongMatch m = matchSong(rec, ref);
    ASSERT_TRUE(m.aligned);
    ASSERT_EQ(m.gaps.size(), 1u);
    EXPECT_EQ(m.gaps[0].songFrame, 20000);
    EXPECT_EQ(m.gaps[0].lengthFrames, 768);
    EXPECT_EQ(m.gaps[0].skippedFrames, 242);
    EXPECT_EQ(m.matchedUntil, 44100);
}

TEST(SongMatch, StopsWhereTheRecordingLeavesTheSong) {
    const auto ref = song();
    auto rec = join({silence(10), ref});
    // From frame 20000 on the recording is the song at half volume (a fade).
    for (std::size_t i = 2 * (10 + 20000); i < rec.size(); ++i) rec[i] /= 2;
    const SongMatch m = matchSong(rec, ref);
    ASSERT_TRUE(m.aligned);
    EXPECT_TRUE(m.gaps.empty());
    EXPECT_GE(m.matchedUntil, 20000);
    EXPECT_LT(m.matchedUntil, 20010);
}

TEST(SongMatch, ARecordingWithoutTheSongDoesNotAlign) {
    const auto ref = song();
    auto other = song();
    for (auto& s : other) s = static_cast<std::int16_t>(s / 3);
    EXPECT_FALSE(matchSong(other, ref).aligned);
    EXPECT_FALSE(matchSong(silence(44100), ref).aligned);
}

}  // namespace
