// The live show's opt-in viewing options: --controls (pause and seek from the
// keyboard, song time and event in the title), --loop (start over at the
// end) and --vsync. Without them the frame loop is the plain one: every key
// but Esc is swallowed and the show ends at its end.
// Needs: the module's optional exports (seek, pause, song time, events),
// bound after Init; a current GL context for the held picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/dmd_api.h"
#include "optional_exports.h"
#include "platforms/sdl_window.h"

struct ViewingOptions {
    bool controls = false;
    bool loop = false;
    bool vsync = false;
};

// Set from the command line before the show starts.
void setViewingOptions(const ViewingOptions& options);
const ViewingOptions& viewingOptions();

// Where a control key takes the show: song time in ms, or -1 for a key that
// does not seek. eventStartsMs are the script's event starts in order;
// endMs is the show's end (-1: none). Seeks stay within 0 .. endMs - 1.
int controlTargetMs(SdlWindow::Key key, int nowMs, const std::vector<int>& eventStartsMs,
                    int endMs);
// The 1-based number of the event holding songMs (0 without events).
int eventNumberAt(int songMs, const std::vector<int>& eventStartsMs);
// The window title while the controls are on: "BASE - 12:34.5 - event 17/91".
std::string controlsTitle(const char* base, int songMs, int eventNumber, int eventCount,
                          bool paused);

class ShowControls {
  public:
    // After Init: takes what the options need from the module's exports; what
    // the module cannot do is refused with one note on stderr.
    void begin(const OptionalExports& exports, SdlWindow& window, const char* baseTitle);

    void keyPressed(SdlWindow::Key key);
    // RenderScene said the show is over: true when it starts again from 0.
    bool startOver();
    // Paused with its picture kept at this size: the loop draws that instead
    // of a frame. After a resize the next frame is drawn and kept instead.
    bool showsHeldPicture(int width, int height);
    void drawHeldPicture() const;
    // After a frame is drawn, before the swap: keeps the picture when paused,
    // writes the snapshot a test asked for, updates the title.
    void frameDrawn(int width, int height);

  private:
    void seek(int targetMs, const char* why);
    void togglePause();
    void noteAction(const char* what);
    int songMs() const;

    OptionalExports exports_;
    SdlWindow* window_ = nullptr;
    std::string baseTitle_;
    std::string shownTitle_;
    bool controlsOn_ = false;
    bool loopOn_ = false;
    bool paused_ = false;
    std::vector<int> eventStartsMs_;
    int endMs_ = -1;
    std::vector<std::uint8_t> heldRgba_;
    int heldWidth_ = 0;
    int heldHeight_ = 0;
    // Tests: after each action the next frame is saved (SORVANEL_HOST_SNAPSHOT).
    bool snapshotDue_ = false;
    int snapshotCount_ = 0;
};
