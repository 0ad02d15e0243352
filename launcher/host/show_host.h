// One show driven through the module's contract on a surface: loading and
// binding the module, the show request it plays, the default projection and
// the picture's place in the drawable, the Init sequence with the optional
// start and offline audio, one frame, one read-back, and the tear-down in its
// fixed order (context released, then the module's Done and the library
// released). The live window, the page's canvas, captures, shots and the
// viewing controls are drivers over it. Needs the module loader, a Surface
// and a current GL context from attach() on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/host_observer.h"
#include "host/host_state.h"
#include "host/module_loader.h"
#include "host/optional_exports.h"
#include "host/show_request.h"
#include "host/surface.h"

// Why the last show of this process could not start, in words, beyond the
// text its message buffer received (the loader's or the module's reason);
// empty when nothing more is known. It outlives the host that failed.
const std::string& startFailureDetail();

// text, then in brackets the detail beyond it where there is one:
// "DMD could not be loaded! (X.DMD: no such file)".
std::string withDetail(const std::string& text, const std::string& detail);

// A song time as the launcher's messages write it: "1560.000 s".
std::string showSecondsText(int ms);

// "--start 1600.000 s: the show is over at 1560.000 s" for a live start at
// or after the show's end (endMs -1: unknown), "" otherwise.
std::string startPastTheEndText(int startMs, int endMs);

// The GL state the module starts from, for a frustum: the projection matrix
// replaced by it, the model-view matrix reset, textures, normalised normals,
// the depth test and the culling of back faces on. Needs a current context;
// the viewport is the caller's.
void applyFrustumAndFixedState(const FrustumParams& frustum);

// The module call in progress ("Init", "RenderScene", "Done", ...), or null:
// what a signal handler can name when the module does not return.
extern const char* volatile moduleCallInProgress;

class ShowHost {
  public:
    // Reports to the process's observer (host_observer.h), if any.
    ShowHost();
    ~ShowHost();  // close()
    ShowHost(const ShowHost&) = delete;
    ShowHost& operator=(const ShowHost&) = delete;

    // Loads the module and binds its exports, the optional ones too. False
    // with messageBuffer (256 bytes) set; startFailureDetail() says why.
    bool LoadModule(const std::string& moduleName, char* messageBuffer);
    const OptionalExports& exports() const { return exports_; }

    // The song time at which the loaded module's show ends, which it tells
    // before Init; -1 when it does not tell.
    int showEndMs() const;

    // The show asked for: its size (its window, its display mode in full
    // screen, or an offscreen picture's), and its picture's shape for this
    // module: widescreen only where the module fits its own projections to
    // the frustum's aspect (else a note on stderr and the composed 4:3
    // picture). Its start, sound and audio offset go to initialise().
    void request(const ShowRequest& request);
    const ShowRequest& requested() const { return request_; }

    // The surface is created and its context current: its drawable size and
    // the picture's place in it. Called again after the drawable's size
    // changed.
    void attach(Surface& surface);
    void drawableResized();

    // The default frustum for the picture (left -5, right 5, top and bottom
    // +-5 / aspect, near 1, far 255, widened sideways for a widescreen
    // picture), then ApplyProjection.
    void SetDefaultProjection();
    // Stores the frustum handed to every frame and sets the viewport, the
    // matrices and the fixed GL state the module starts from.
    void ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                         double farVal);

    // The default projection, the request's start (part-way where the module
    // can) and audio offset, the start tick and Init with the request's
    // sound. False with messageBuffer set by the module and
    // startFailureDetail() holding what the module says beyond it.
    bool initialise(char* messageBuffer);
    // Captures and shots: the same with no sound device, the show started at
    // the request's start on a grid of framesPerSecond (the frames before it
    // walked as drawing would walk them); the host pulls the song, and the
    // module's clock moves only with what it pulls. Also false, with
    // messageBuffer set by the host, for a start the module refuses.
    bool initialiseOffline(int framesPerSecond, char* messageBuffer);
    // The module's mixing rate with offline audio (Hz, stereo), else 0.
    int offlineAudioRate() const { return offlineAudioRate_; }

    // Frames are drawn from now on (the running flag).
    void setRunning(bool running) { state_.running = running; }

    // One frame: the picture's area, then RenderScene with the frustum.
    // False when the module says the show is over.
    bool renderFrame();
    // With offline audio: the module mixes the next frames of its song
    // (interleaved stereo) and its clock moves on. True when all were mixed.
    bool pullOfflineAudio(std::int16_t* interleavedStereo, int frames);
    // Tells the observer a drawn frame is ready to be presented.
    void frameDrawn();
    // Shows what was drawn (the surface's buffer swap); after a frame of the
    // module's, tells the module it is shown, so it can time its frames.
    void present();
    // How long after a present the picture reaches the screen (one refresh
    // where swaps wait for the display), for the module's clock.
    void setPresentationDelay(int ms);
    // Waits until the drawing so far is complete (to time it apart).
    void finishDrawing();
    // The drawable's pixels as drawn so far, bottom row first.
    void readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const;

    // Context released, then the module shut down and released. Safe twice.
    void close();

    // A step for the observer (the drivers' own, such as a seek).
    void note(const std::string& step) const;

    const HostState& state() const { return state_; }

  private:
    void storeClientSize(int width, int height);
    bool callInit(int soundEnabled, char* messageBuffer);
    // "the frame at song time T s" (or "frame N" for a module that does not
    // tell its song time), for the crash line of a frame's phase.
    std::string whereInTheShow() const;

    HostObserver* observer_;
    Surface* surface_ = nullptr;
    bool contextHeld_ = false;
    ModuleBinding binding_;
    std::string moduleName_;  // as it was asked for, for messages
    OptionalExports exports_;
    ShowRequest request_;
    HostState state_;
    int offlineAudioRate_ = 0;
    bool moduleFrameDrawn_ = false;  // the present to come shows RenderScene's picture
    long long framesRendered_ = 0;
};
