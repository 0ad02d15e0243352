// Implements ShowControls over the module's seek, pause and audio-offset
// exports, the control keys and the held picture. A paused show keeps
// the last drawn picture and presents it again each turn; a seek drops that
// picture, and the next frame shows the new instant as the module walked it.
// Each action is a step for the host's observer.
#include "live/show_controls.h"

#include <algorithm>
#include <cstdio>

#include "live/control_keys.h"
#include "live/controls_title.h"

ShowControls::ShowControls(ShowHost& host, const char* baseTitle, TitleSetter setTitle)
    : host_(host),
      exports_(host.exports()),
      baseTitle_(baseTitle),
      setTitle_(std::move(setTitle)),
      audioOffsetMs_(host.requested().audioOffsetMs) {
    const ViewingOptions& options = host.requested().viewing;
    const bool canSeek =
        exports_.seekTo != nullptr && exports_.songTimeMs != nullptr && exports_.songTimeMs() >= 0;
    const bool canPause = exports_.setPaused != nullptr;
    canSeekAndPause_ = canSeek && canPause;
    if (options.controls) {
        controlsOn_ = canSeekAndPause_;
        if (!controlsOn_) {
            std::fputs("talvenor: this module cannot seek or pause; --controls is refused\n",
                       stderr);
        }
    }
    if (options.loop) {
        loopOn_ = canSeek;
        if (!loopOn_) {
            std::fputs("talvenor: this module cannot start over; --loop is refused\n", stderr);
        }
    }
    if (exports_.describeEvent != nullptr) {
        DmdEventInfo info{};
        for (int i = 0; exports_.describeEvent(i, &info) != 0; ++i) {
            eventStartsMs_.push_back(info.startMs);
        }
    }
    endMs_ = host.showEndMs();
}

int ShowControls::songMs() const {
    return exports_.songTimeMs != nullptr ? exports_.songTimeMs() : 0;
}

void ShowControls::noteAction(const std::string& what) const {
    host_.note(what + " song=" + std::to_string(songMs()) + (paused_ ? " paused" : " playing"));
}

void ShowControls::seek(int targetMs, const char* why) {
    if (exports_.seekTo(targetMs, kLiveFramesPerSecond) == 0) return;
    held_.drop();  // the next frame draws the new instant, and is kept
    noteAction(std::string(why) + " " + std::to_string(targetMs));
}

void ShowControls::togglePause() {
    if (exports_.setPaused(paused_ ? 0 : 1) == 0) return;
    paused_ = !paused_;
    // Pausing keeps the next frame drawn at the held time.
    held_.drop();
    noteAction(paused_ ? "pause" : "resume");
}

// [ and ] move the picture's wait for the sound by 5 ms, within the
// module's +-2 s.
void ShowControls::shiftAudioOffset(int byMs) {
    constexpr int kMaxOffsetMs = 2000;
    const int wanted = std::clamp(audioOffsetMs_ + byMs, -kMaxOffsetMs, kMaxOffsetMs);
    if (exports_.setAudioOffsetMs == nullptr || exports_.setAudioOffsetMs(wanted) == 0) return;
    audioOffsetMs_ = wanted;
    host_.note("audio-offset " + std::to_string(audioOffsetMs_));
}

void ShowControls::keyPressed(ShowKey key) {
    if (!controlsOn_) return;
    if (key == ShowKey::Space) {
        togglePause();
        return;
    }
    if (key == ShowKey::SoundEarlier || key == ShowKey::SoundLater) {
        shiftAudioOffset(key == ShowKey::SoundLater ? 5 : -5);
        return;
    }
    seekAsKey(key);
}

void ShowControls::setPaused(bool paused) {
    if (canSeekAndPause_ && paused != paused_) togglePause();
}

void ShowControls::seekTo(int songMs) {
    if (!canSeekAndPause_) return;
    int target = std::max(0, songMs);
    if (endMs_ > 0) target = std::min(target, endMs_ - 1);
    seek(target, "seek");
}

void ShowControls::seekAsKey(ShowKey key) {
    if (!canSeekAndPause_) return;
    const int target = controlTargetMs(key, songMs(), eventStartsMs_, endMs_);
    if (target >= 0) seek(target, "seek");
}

bool ShowControls::startOver() {
    if (!loopOn_) return false;
    if (paused_) togglePause();
    if (exports_.seekTo(0, kLiveFramesPerSecond) == 0) return false;
    held_.drop();
    noteAction("loop 0");
    return true;
}

bool ShowControls::holdsPicture() {
    const HostState& s = host_.state();
    return paused_ && held_.holds(s.clientWidth, s.clientHeight);
}

void ShowControls::drawHeldPicture() const {
    held_.draw();
}

void ShowControls::frameDrawn() {
    const HostState& s = host_.state();
    if (paused_ && !held_.holds(s.clientWidth, s.clientHeight)) {
        held_.keep(s.clientWidth, s.clientHeight);
    }
    if (!controlsOn_) return;
    const int ms = songMs();
    const std::string title =
        controlsTitle(baseTitle_.c_str(), ms, eventNumberAt(ms, eventStartsMs_),
                      static_cast<int>(eventStartsMs_.size()), paused_, audioOffsetMs_);
    if (title != shownTitle_) {
        setTitle_(title);
        shownTitle_ = title;
    }
}
