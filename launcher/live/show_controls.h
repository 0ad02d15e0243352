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
#include "live/show_keys.h"

class ShowControls {
  public:
    using TitleSetter = std::function<void(const std::string& title)>;

    // After Init: the viewing options and the audio offset the show started
    // with come from the host's request; takes what they need from the
    // module's exports, and refuses what the module cannot do with one note
    // on stderr.
    ShowControls(ShowHost& host, const char* baseTitle, TitleSetter setTitle);

    void keyPressed(ShowKey key);
    // Whether the keys act (--controls given and the module can seek and
    // pause); without them every key but Esc is the window's.
    bool keysOn() const { return controlsOn_; }

    // The same actions for a player's buttons and seek bar (the web page's),
    // whether or not the keys are on; each does nothing where the module
    // cannot seek and pause (canSeekAndPause false).
    bool canSeekAndPause() const { return canSeekAndPause_; }
    void setPaused(bool paused);
    // To songMs, kept within 0 .. the show's end - 1.
    void seekTo(int songMs);
    // Where the key would take the show (Left, Right, N, P, ...).
    void seekAsKey(ShowKey key);
    bool paused() const { return paused_; }
    int songTimeMs() const { return songMs(); }
    int showEndMs() const { return endMs_; }
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
    void shiftAudioOffset(int byMs);
    void togglePause();
    void noteAction(const std::string& what) const;
    int songMs() const;

    ShowHost& host_;
    const OptionalExports& exports_;
    std::string baseTitle_;
    TitleSetter setTitle_;
    std::string shownTitle_;
    bool canSeekAndPause_ = false;
    bool controlsOn_ = false;
    bool loopOn_ = false;
    bool paused_ = false;
    std::vector<int> eventStartsMs_;
    int endMs_ = -1;
    int audioOffsetMs_ = 0;
    HeldPicture held_;
};
