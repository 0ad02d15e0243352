// Mixing ahead for the worklet: each top-up mixes chunks of 2048 frames
// (46 ms) until a second lies between what is heard and what was sent,
// at most half a second per call so that no single call holds up a frame.
#include "web/platform/worklet_feed.h"

#include <emscripten/emscripten.h>

#include <algorithm>

#include "music/sound_song.h"

namespace {

constexpr int kAheadMs = 1000;
constexpr int kChunkFrames = 2048;
constexpr int kMostPerCallMs = 500;

// clang-format off
// The page's end of the feed (song_player.js): a WorkletSong on the show's
// audio context. Its reports top the feed up, and its clock reads this one,
// except while the module is suspended in an asynchronous call; a song
// that is sent but never heard is told to the page.
EM_JS(int, pageWorkletOpen, (), {
    if (typeof songContext === 'undefined' || songContext === null) return 0;
    let song;
    try {
        song = takeSongWorklet() || new WorkletSong(songContext);
    } catch (e) {
        console.error('the song worklet could not be made: ' + String((e && e.message) || e));
        return 0;
    }
    const idle = () => typeof Asyncify === 'undefined' || !Asyncify.currData;
    let lastMs = 0;
    song.onReport = () => { if (idle()) Module._sorvanelSongFeed(); };
    song.onSilentStart = (why) => Page.soundNotHeard(why);
    song.clock = () => {
        if (idle()) lastMs = Module._sorvanelSongTimeMs();
        return lastMs;
    };
    Module.sorvanelSong = song;
    return 1;
});
EM_JS(void, pageWorkletFlush, (int generation), { Module.sorvanelSong.flush(generation); });
EM_JS(void, pageWorkletQueue, (int generation, const std::int16_t* samples, int frames), {
    const at = samples >> 1;
    Module.sorvanelSong.queue(generation, HEAP16.slice(at, at + 2 * frames));
});
EM_JS(int, pageWorkletHeard, (int generation, int sent), {
    return Module.sorvanelSong.heardFrames(generation, sent);
});
EM_JS(void, pageWorkletDrain, (), { Module.sorvanelSong.drain(); });
// clang-format on

}  // namespace

WorkletFeed::~WorkletFeed() {
    drain();
}

bool WorkletFeed::open() {
    open_ = pageWorkletOpen() != 0;
    return open_;
}

void WorkletFeed::start(SoundSong* song, int startMs) {
    if (!open_) return;
    song_ = song;
    startMs_ = startMs;
    lastMs_ = startMs;
    sent_ = 0;
    pageWorkletFlush(++generation_);
    topUp();
}

void WorkletFeed::hold(int atMs) {
    if (!open_) return;
    song_ = nullptr;
    startMs_ = atMs;
    lastMs_ = atMs;
    sent_ = 0;
    pageWorkletFlush(++generation_);
}

void WorkletFeed::stop(int atMs) {
    song_ = nullptr;
    startMs_ = atMs;
    lastMs_ = atMs;
}

int WorkletFeed::heardFrames() {
    return pageWorkletHeard(generation_,
                            static_cast<int>(std::min<std::int64_t>(sent_, INT32_MAX)));
}

void WorkletFeed::topUp() {
    if (!open_ || song_ == nullptr) return;
    const std::int64_t ahead = static_cast<std::int64_t>(kAheadMs) * rate_ / 1000;
    std::int64_t budget = static_cast<std::int64_t>(kMostPerCallMs) * rate_ / 1000;
    const std::int64_t heard = heardFrames();
    mix_.resize(kChunkFrames * 2);
    pcm_.resize(kChunkFrames * 2);
    while (sent_ - heard < ahead && budget > 0) {
        std::fill(mix_.begin(), mix_.end(), 0.0f);
        song_->mixInto(mix_.data(), kChunkFrames, rate_);
        floatToPcm16(mix_.data(), pcm_.data(), kChunkFrames * 2);
        pageWorkletQueue(generation_, pcm_.data(), kChunkFrames);
        song_->framesMixed += kChunkFrames;
        sent_ += kChunkFrames;
        budget -= kChunkFrames;
    }
}

int WorkletFeed::heardMs() {
    if (!open_ || song_ == nullptr) return startMs_;
    const std::int64_t ms = startMs_ + static_cast<std::int64_t>(heardFrames()) * 1000 / rate_;
    lastMs_ = std::max(lastMs_, static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
    return lastMs_;
}

void WorkletFeed::drain() {
    if (!open_) return;
    song_ = nullptr;
    open_ = false;
    pageWorkletDrain();
}
