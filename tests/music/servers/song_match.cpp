// The match: anchor a short window of the reference's first sound in the
// recording, then walk both frame by frame; at a difference, a run of
// silence in the recording followed by the reference exactly is a gap.
#include "song_match.h"

#include <cstdlib>

namespace {

constexpr int kWindowFrames = 256;  // 5.8 ms: unique in music
constexpr int kSilence = 2;         // below this a sample is silence

struct Frames {
    const std::vector<std::int16_t>& s;
    std::int64_t count() const { return static_cast<std::int64_t>(s.size() / 2); }
    int left(std::int64_t f) const { return s[static_cast<std::size_t>(2 * f)]; }
    int right(std::int64_t f) const { return s[static_cast<std::size_t>(2 * f + 1)]; }
};

bool same(const Frames& a, std::int64_t i, const Frames& b, std::int64_t j, int tolerance) {
    return std::abs(a.left(i) - b.left(j)) <= tolerance &&
           std::abs(a.right(i) - b.right(j)) <= tolerance;
}

bool windowMatches(const Frames& rec, std::int64_t i, const Frames& ref, std::int64_t j,
                   int tolerance) {
    if (i + kWindowFrames > rec.count() || j + kWindowFrames > ref.count()) return false;
    for (int k = 0; k < kWindowFrames; ++k) {
        if (!same(rec, i + k, ref, j + k, tolerance)) return false;
    }
    return true;
}

bool silent(const Frames& f, std::int64_t i) {
    return std::abs(f.left(i)) < kSilence && std::abs(f.right(i)) < kSilence;
}

}  // namespace

SongMatch matchSong(const std::vector<std::int16_t>& recording,
                    const std::vector<std::int16_t>& reference, int tolerance,
                    std::int64_t maxGapFrames) {
    const Frames rec{recording};
    const Frames ref{reference};
    SongMatch m;
    std::int64_t j = 0;
    while (j < ref.count() && silent(ref, j)) ++j;
    m.firstSoundingFrame = j;
    std::int64_t i = 0;
    while (i < rec.count() && !windowMatches(rec, i, ref, j, tolerance)) ++i;
    if (i >= rec.count()) return m;
    m.aligned = true;
    m.shift = i - j;
    for (;;) {
        while (i < rec.count() && j < ref.count() && same(rec, i, ref, j, tolerance)) {
            ++i;
            ++j;
        }
        m.matchedUntil = j;
        if (i >= rec.count() || j >= ref.count()) return m;
        // A gap: the recording falls silent here and the song goes on
        // after it, where it stopped or a little later.
        std::int64_t k = i;
        const std::int64_t limit = std::min(rec.count(), i + maxGapFrames);
        while (k < limit && silent(rec, k)) ++k;
        if (k >= limit || k - i < 1) return m;
        std::int64_t resumed = -1;
        const std::int64_t refLimit = std::min(ref.count(), j + maxGapFrames);
        for (std::int64_t jj = j; jj < refLimit; ++jj) {
            if (windowMatches(rec, k, ref, jj, tolerance)) {
                resumed = jj;
                break;
            }
        }
        if (resumed < 0) return m;
        m.gaps.push_back({j, k - i, resumed - j});
        i = k;
        j = resumed;
    }
}
