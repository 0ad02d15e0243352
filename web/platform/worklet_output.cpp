// The sound output in a browser (audio_output.h): the page's AudioWorklet
// (song_worklet.js) plays the layer's mix, sent ahead in chunks of 16-bit
// stereo through the worklet's message port (no shared memory, so the site
// needs no special headers), and says back which sample is being heard; that
// is the song's clock. Every start, seek or pause begins a new generation:
// the worklet drops what it holds of the old place at once and plays only the
// new one. The page has one thread, so the mix is topped up whenever the
// worklet reports (about every 23 ms), whenever the clock is read (each
// frame) and on every volume step of the fade, so a long frame, a busy
// machine or a slow network never leaves it dry: each top-up mixes chunks of
// 2048 frames (46 ms) until a second lies between what is heard and what was
// sent, at most half a second per call so that no single call holds up a
// frame.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/failure_detail.h"
#include "music/audio_output.h"

namespace {

constexpr int kAheadMs = 1000;
constexpr int kChunkFrames = 2048;
constexpr int kMostPerCallMs = 500;

// clang-format off
// Waits (at most two seconds) for the page's audio context, made in the
// click that started the show, to run with the song's worklet loaded.
EM_ASYNC_JS(int, pageAudioRunning, (), {
    return (await songContextRunning(2000)) ? 1 : 0;
});
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

class WorkletOutput;

// The output the page's worklet reports to. The page's callbacks
// (sorvanelSongFeed, sorvanelSongTimeMs) come from JavaScript without a
// handle, so they reach the one output open on the page through this; null
// when none is open. Web only: the desktop's outputs call the mix from a
// thread of their own and need no way back in.
WorkletOutput* pageOutput = nullptr;

class WorkletOutput final : public AudioOutput {
  public:
    WorkletOutput(int rate, MixFunction mix) : rate_(rate), mix_(std::move(mix)) {}

    // The worklet plays out what it holds (the fade's tail) and then stays
    // silent; nothing more is sent.
    ~WorkletOutput() override {
        if (pageOutput == this) pageOutput = nullptr;
        if (open_) pageWorkletDrain();
    }

    // Connects to the page's worklet; false when the page has none.
    bool open() {
        open_ = pageWorkletOpen() != 0;
        if (open_) pageOutput = this;
        return open_;
    }

    void playFrom(int startMs) override {
        restart(startMs);
        mixing_ = true;
        mixAhead();
    }

    void holdAt(int atMs) override { restart(atMs); }

    void stopAt(int atMs) override {
        mixing_ = false;
        startMs_ = atMs;
        lastMs_ = atMs;
    }

    // Never goes back within one start.
    std::optional<int> heardMs() override {
        if (!mixing_) return startMs_;
        const std::int64_t ms = startMs_ + static_cast<std::int64_t>(heardFrames()) * 1000 / rate_;
        lastMs_ = std::max(lastMs_, static_cast<int>(std::min<std::int64_t>(ms, INT32_MAX)));
        return lastMs_;
    }

    // Mixes on until the worklet holds about a second.
    void mixAhead() override {
        if (!mixing_) return;
        const std::int64_t ahead = static_cast<std::int64_t>(kAheadMs) * rate_ / 1000;
        std::int64_t budget = static_cast<std::int64_t>(kMostPerCallMs) * rate_ / 1000;
        const std::int64_t heard = heardFrames();
        pcm_.resize(kChunkFrames * 2);
        while (sent_ - heard < ahead && budget > 0) {
            mix_(pcm_.data(), kChunkFrames, static_cast<int>(sent_ - heard));
            pageWorkletQueue(generation_, pcm_.data(), kChunkFrames);
            sent_ += kChunkFrames;
            budget -= kChunkFrames;
        }
    }

  private:
    // A new generation from song time atMs: silence until something is sent.
    void restart(int atMs) {
        mixing_ = false;
        startMs_ = atMs;
        lastMs_ = atMs;
        sent_ = 0;
        pageWorkletFlush(++generation_);
    }

    int heardFrames() {
        return pageWorkletHeard(generation_,
                                static_cast<int>(std::min<std::int64_t>(sent_, INT32_MAX)));
    }

    const int rate_;
    const MixFunction mix_;
    bool open_ = false;
    bool mixing_ = false;  // false: held or stopped
    int generation_ = 0;
    int startMs_ = 0;
    std::int64_t sent_ = 0;  // frames of this generation sent
    int lastMs_ = 0;
    std::vector<std::int16_t> pcm_;
};

}  // namespace

// A browser has one output, the page's: driver 0.
std::unique_ptr<AudioOutput> openSoundOutput(int driver, int rate, MixFunction mix) {
    if (driver != 0) {
        noteFailureDetail("a browser plays through its one output (driver 0)");
        return nullptr;
    }
    if (pageAudioRunning() == 0) {
        noteFailureDetail(
            "the browser did not start its sound (no sound device, no AudioWorklet, or blocked)");
        return nullptr;
    }
    auto out = std::make_unique<WorkletOutput>(rate, std::move(mix));
    if (!out->open()) {
        noteFailureDetail("the page's song worklet could not be made");
        return nullptr;
    }
    return out;
}

// The page's worklet reported: top the mix up.
extern "C" EMSCRIPTEN_KEEPALIVE void sorvanelSongFeed() {
    if (pageOutput != nullptr) pageOutput->mixAhead();
}

// The song time heard now, for the page (its WorkletSong's timeMs).
extern "C" EMSCRIPTEN_KEEPALIVE int sorvanelSongTimeMs() {
    if (pageOutput == nullptr) return 0;
    pageOutput->mixAhead();
    return pageOutput->heardMs().value_or(0);
}
