// The show without a window, for captures and shots: the show host with an
// offscreen EGL surface of the output size, the song on the module's offline
// output from a chosen frame of the grid, and frames drawn and read back one
// at a time. The module must have the optional exports for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/show_host.h"

class EglOffscreen;

class OfflineShow {
  public:
    OfflineShow();
    ~OfflineShow();  // close()
    OfflineShow(const OfflineShow&) = delete;
    OfflineShow& operator=(const OfflineShow&) = delete;

    // Loads and initialises the module for a show starting at startMs (a
    // time of the grid at framesPerSecond). False with error set.
    bool open(const std::string& moduleName, int width, int height, PictureShape shape, int startMs,
              int framesPerSecond, std::string& error);
    // The module's mixing rate (Hz, stereo) and the song time at which the
    // show ends (-1: no end).
    int audioRate() const { return host_.offlineAudioRate(); }
    int showEndMs() const { return showEndMs_; }

    // Draws the frame at the clock's time; false when the show is over.
    bool drawFrame() { return host_.renderFrame(); }
    // Waits until the frame just drawn is complete, so that drawing and
    // reading back can be timed apart.
    void finishDrawing() { host_.finishDrawing(); }
    // The frame just drawn into rows (resized to fit), bottom row first, in
    // RGBA or in the driver's own BGRA order (a third of the time of RGBA on
    // llvmpipe).
    void readFrame(PixelOrder order, std::vector<std::uint8_t>& rows) const {
        host_.readPixels(order, rows);
    }
    // Mixes the next frames of audio (interleaved stereo), moving the clock.
    bool pullAudio(std::int16_t* interleavedStereo, int frames);

    // Releases the context, then Done and the library, as the live host does.
    void close();

  private:
    std::unique_ptr<EglOffscreen> surface_;
    ShowHost host_;
    int showEndMs_ = -1;
};
