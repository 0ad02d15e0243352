// The clock that picks the picture, from the song time heard: a frame is
// drawn for the instant it will appear, so the time a frame takes from
// reading the clock to the screen is added: from the read to the host's
// word that the frame was swapped (frameShown), where the host says so,
// else to the next frame's read (its drawing and swap, and the host's turn
// around the loop); the median of the last few. The display's own delay
// after a swap is added too, and an output slower than it reports (an
// audio offset) is taken off. Within one stretch of play (from a start,
// seek or resume) it never goes back, shows the stretch's first instant
// until anything of the stretch is heard, and never a time before it.
#pragma once

#include <chrono>
#include <vector>

class PictureClock {
  public:
    using Clock = std::chrono::steady_clock;

    // Offsets over 2000 ms and delays outside 0..1000 ms are refused.
    static bool acceptsAudioOffsetMs(int ms);
    static bool acceptsPresentationDelayMs(int ms);
    bool setAudioOffsetMs(int ms);
    bool setPresentationDelayMs(int ms);
    int audioOffsetMs() const { return offsetMs_; }

    // Play goes on from songMs (start, seek, resume).
    void restart(int songMs);
    // A frame reads the clock at `now`.
    void frameAt(Clock::time_point now);
    // The host swapped the frame last read at `now`.
    void frameShown(Clock::time_point now);
    // The picture's song time for the song time heard now.
    int pictureMs(int heardMs);
    // How far ahead of the heard time frames are drawn now, in ms.
    int leadMs() const;

  private:
    int offsetMs_ = 0;
    int presentationMs_ = 0;
    int floorMs_ = 0;
    int lastMs_ = 0;
    struct Recent {
        std::vector<int> us;  // the last few
        std::size_t next = 0;
        void add(int value);
        int median() const;
    };
    bool haveFrame_ = false;
    bool frameOnItsWay_ = false;  // read, not yet shown
    Clock::time_point lastFrame_{};
    Recent periods_;  // read to the next read
    Recent shown_;    // read to the swap, where the host tells
};
