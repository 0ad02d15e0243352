// The live show's opt-in viewing options as a driver over the show host:
// --controls (pause and seek from the keyboard, song time and event in the
// title) and --loop (start over at the end). Without them every key but Esc
// is swallowed and the show ends at its end. Needs the module's optional
// exports (seek, pause, song time, events) after Init, and a current context
// for the held picture.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/show_host.h"
#include "live/held_picture.h"
#include "live/live_options.h"
#include "live/show_keys.h"

class ShowControls {
  public:
    using TitleSetter = std::function<void(const std::string& title)>;

    // After Init: takes what the options need from the module's exports; what
    // the module cannot do is refused with one note on stderr.
    ShowControls(ShowHost& host, const ViewingOptions& options, const char* baseTitle,
                 TitleSetter setTitle);

    void keyPressed(ShowKey key);
    // RenderScene said the show is over: true when it starts again from 0.
    bool startOver();
    // Paused with its picture kept at the drawable's size: the loop presents
    // that instead of drawing a frame. After a resize the next frame is drawn
    // and kept instead.
    bool holdsPicture();
    void drawHeldPicture() const;
    // After a frame is drawn, before it is presented: keeps the picture when
    // paused, updates the title.
    void frameDrawn();

  private:
    void seek(int targetMs, const char* why);
    void togglePause();
    void noteAction(const std::string& what) const;
    int songMs() const;

    ShowHost& host_;
    const OptionalExports& exports_;
    std::string baseTitle_;
    TitleSetter setTitle_;
    std::string shownTitle_;
    bool controlsOn_ = false;
    bool loopOn_ = false;
    bool paused_ = false;
    std::vector<int> eventStartsMs_;
    int endMs_ = -1;
    HeldPicture held_;
};
