// The show without a window, for captures and shots: the show host on a
// surface of the output size (an offscreen EGL pbuffer here, a canvas in a
// browser), the song on the module's offline output from a chosen frame of
// the grid, and frames drawn and read back one at a time. The module must
// have the optional exports for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/show_host.h"

class OfflineShow {
  public:
    OfflineShow();
    ~OfflineShow();  // close()
    OfflineShow(const OfflineShow&) = delete;
    OfflineShow& operator=(const OfflineShow&) = delete;

    // Loads and initialises the module for a show starting at startMs (a
    // time of the grid at framesPerSecond), drawing on surface (created, its
    // context current; it must outlive the show). False with error set; a
    // start at or after the show's end is refused before Init (pastTheEnd()
    // then says so, and error "the show is over at S s").
    bool open(const std::string& moduleName, Surface& surface, PictureShape shape, int startMs,
              int framesPerSecond, std::string& error);
    // The module's mixing rate (Hz, stereo) and the song time at which the
    // show ends (-1: no end).
    int audioRate() const { return host_.offlineAudioRate(); }
    int showEndMs() const { return showEndMs_; }
    bool pastTheEnd() const { return pastTheEnd_; }

    // Draws the frame at the clock's time; false when the show is over.
    bool drawFrame() { return host_.renderFrame(); }
    // Waits until the frame just drawn is complete, so that drawing and
    // reading back can be timed apart.
    void finishDrawing() { host_.finishDrawing(); }
    // A supersampled show: the surface is factor times the output's width
    // and height, and each frame read is reduced to the output size.
    void reduceBy(int factor) { reduceBy_ = factor; }
    // The frame just drawn into rows (resized to fit), bottom row first, in
    // RGBA or in the driver's own BGRA order (a third of the time of RGBA on
    // llvmpipe), reduced in linear light when supersampled.
    void readFrame(PixelOrder order, std::vector<std::uint8_t>& rows);
    // Mixes the next frames of audio (interleaved stereo), moving the clock.
    bool pullAudio(std::int16_t* interleavedStereo, int frames);

    // Releases the context, then Done and the library, as the live host does.
    void close();

  private:
    ShowHost host_;
    int showEndMs_ = -1;
    bool pastTheEnd_ = false;
    int reduceBy_ = 1;
    std::vector<std::uint8_t> drawn_;  // the supersampled frame before its reduction
};
