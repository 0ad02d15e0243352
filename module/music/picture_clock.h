// The clock that picks the picture, from the song time heard: a frame is
// drawn for the instant it will appear, so the time a frame takes from
// reading the clock to the next frame (its drawing and swap, the median of
// the last few) and the display's own delay after a swap are added; an
// output slower than it reports (an audio offset) is taken off. Within one
// stretch of play (from a start, seek or resume) it never goes back and
// never shows a time before the stretch began.
#pragma once

#include <chrono>
#include <vector>

class PictureClock {
  public:
    using Clock = std::chrono::steady_clock;

    // Offsets over 2000 ms and delays outside 0..1000 ms are refused.
    bool setAudioOffsetMs(int ms);
    bool setPresentationDelayMs(int ms);
    int audioOffsetMs() const { return offsetMs_; }

    // Play goes on from songMs (start, seek, resume).
    void restart(int songMs);
    // A frame reads the clock at `now`: the spacing of these calls is the
    // frame's time to the screen.
    void frameAt(Clock::time_point now);
    // The picture's song time for the song time heard now.
    int pictureMs(int heardMs);
    // How far ahead of the heard time frames are drawn now, in ms.
    int leadMs() const;

  private:
    int offsetMs_ = 0;
    int presentationMs_ = 0;
    int floorMs_ = 0;
    int lastMs_ = 0;
    bool haveFrame_ = false;
    Clock::time_point lastFrame_{};
    std::vector<int> periodsUs_;  // the last few frame spacings
    std::size_t nextPeriod_ = 0;
};
