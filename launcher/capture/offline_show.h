// The show without a window, for captures and shots: the module loaded as
// the live launcher loads it, an offscreen EGL context of the output size with
// the host's default projection for that size, the song on the module's
// offline output from a chosen frame of the grid, and frames drawn and read
// back one at a time. The module must have the optional exports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "optional_exports.h"

class EglOffscreen;

class OfflineShow {
  public:
    OfflineShow();
    ~OfflineShow();  // close()
    OfflineShow(const OfflineShow&) = delete;
    OfflineShow& operator=(const OfflineShow&) = delete;

    // Loads and initialises the module for a show starting at startMs (a
    // time of the grid at framesPerSecond). False with error set.
    bool open(const std::string& moduleName, int width, int height, int startMs,
              int framesPerSecond, std::string& error);
    // The module's mixing rate (Hz, stereo) and the song time at which the
    // show ends (-1: no end).
    int audioRate() const { return audioRate_; }
    int showEndMs() const { return showEndMs_; }

    // Draws the frame at the clock's time; false when the show is over.
    bool drawFrame();
    // The frame just drawn as RGBA rows, bottom row first.
    const std::vector<std::uint8_t>& readFrame();
    // Waits until the frame just drawn is complete, so that drawing and
    // reading back can be timed apart.
    void finishDrawing();
    // The frame just drawn into rows (resized to fit), bottom row first, in
    // the driver's own BGRA order: a third of the time of RGBA on llvmpipe.
    void readFrameBgraInto(std::vector<std::uint8_t>& rows);
    // Mixes the next frames of audio (interleaved stereo), moving the clock.
    bool pullAudio(std::int16_t* interleavedStereo, int frames);

    // Releases the context, then Done and the library, as the live host does.
    void close();

  private:
    std::unique_ptr<EglOffscreen> context_;
    OptionalExports exports_;
    bool loaded_ = false;
    int audioRate_ = 0;
    int showEndMs_ = -1;
    std::vector<std::uint8_t> pixels_;
};
