// The song's way to the page's AudioWorklet (song_worklet.js): the module
// mixes the song about a second ahead of what is heard, in chunks of 16-bit
// stereo sent through the worklet's message port (no shared memory, so the
// site needs no special headers), and reads back which sample is being
// heard. Every start, seek or pause begins a new generation: the worklet
// drops what it holds of the old place at once and plays only the new one.
// Topped up whenever the worklet reports (about every 23 ms), whenever the
// clock is read (each frame) and on every volume step of the fade, so a
// long frame, a busy machine or a slow network never leaves it dry.
#pragma once

#include <cstdint>
#include <vector>

struct SoundSong;

class WorkletFeed {
  public:
    explicit WorkletFeed(int rate) : rate_(rate) {}
    ~WorkletFeed();
    WorkletFeed(const WorkletFeed&) = delete;
    WorkletFeed& operator=(const WorkletFeed&) = delete;

    // Connects to the page's worklet; false when the page has none.
    bool open();
    // Plays `song` from where it is positioned, which is song time startMs.
    void start(SoundSong* song, int startMs);
    // Silence at once; the clock holds at atMs.
    void hold(int atMs);
    // Nothing more is mixed, but what the worklet holds plays on (the
    // fade's tail when the song stops at the end); the clock holds at atMs.
    void stop(int atMs);
    // Mixes on until the worklet holds about a second.
    void topUp();
    // The song time heard now; never goes back within one start.
    int heardMs();
    // The worklet plays out what it holds (the fade's tail) and then
    // stays silent; nothing more is sent.
    void drain();

  private:
    int heardFrames();

    const int rate_;
    bool open_ = false;
    SoundSong* song_ = nullptr;  // null: held
    int generation_ = 0;
    int startMs_ = 0;
    std::int64_t sent_ = 0;  // frames of this generation sent
    int lastMs_ = 0;
    std::vector<float> mix_;
    std::vector<std::int16_t> pcm_;
};
