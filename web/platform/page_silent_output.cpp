// The silent output in a browser (audio_output.h), for the show without
// sound: the page's SilentSong (song_player.js) keeps the song's time on
// performance.now(), and nothing is mixed; the layer still loads and checks
// the song. Where the desktop's silent output mixes on a thread of its own
// to drive the clock, a page has no thread to spare, and a clock in the
// page needs none.
#include <emscripten/emscripten.h>

#include <memory>

#include "music/audio_output.h"

namespace {

// clang-format off
EM_JS(void, pageSilentOpen, (), { Module.sorvanelSong = new SilentSong(); });
EM_JS(void, pageSilentPlay, (int startMs), { Module.sorvanelSong.play(startMs); });
EM_JS(int, pageSilentTimeMs, (), { return Module.sorvanelSong.timeMs(); });
EM_JS(void, pageSilentPause, (), { Module.sorvanelSong.pause(); });
EM_JS(void, pageSilentSeek, (int ms), { Module.sorvanelSong.seek(ms); });
// clang-format on

class PageSilentOutput final : public AudioOutput {
  public:
    PageSilentOutput() { pageSilentOpen(); }

    bool mixes() const override { return false; }
    void playFrom(int startMs) override { pageSilentPlay(startMs); }
    void holdAt(int atMs) override {
        pageSilentPause();
        pageSilentSeek(atMs);
    }
    void stopAt(int) override { pageSilentPause(); }
    std::optional<int> heardMs() override { return pageSilentTimeMs(); }
};

}  // namespace

std::unique_ptr<AudioOutput> openSilentOutput(int, MixFunction) {
    return std::make_unique<PageSilentOutput>();
}
