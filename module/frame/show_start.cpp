// The frames before a part-way start: passed without drawing up to the last
// frame that repaints the whole picture, drawn from there on.
#include "frame/show_start.h"

#include "effects/sprite_burst.h"
#include "show/scene_director.h"

bool ShowStart::request(int songMs, int framesPerSecond) {
    if (songMs < 0 || framesPerSecond < 1 || framesPerSecond > kMaxGridFramesPerSecond) {
        return false;
    }
    songMs_ = songMs;
    framesPerSecond_ = framesPerSecond;
    return true;
}

int ShowStart::gridMs(std::int64_t frame) const {
    return static_cast<int>(dmdGridMs(frame, framesPerSecond_));
}

void ShowStart::passEarlyFrames(SceneDirector& director, SpriteBurst& burst, bool drawLeadIn) {
    if (!requested()) return;
    firstFrame_ = dmdFirstGridFrameFrom(songMs_, framesPerSecond_);
    // The picture of the first frame depends on the frames since the last
    // one that repainted every pixel; frame 0 always does.
    leadInFrame_ = firstFrame_;
    // A start at the end draws nothing at all.
    const bool over = director.showOverAt(gridMs(firstFrame_));
    while (drawLeadIn && !over && leadInFrame_ > 0 &&
           !director.repaintsPicture(gridMs(leadInFrame_))) {
        --leadInFrame_;
    }
    for (std::int64_t k = 0; k < leadInFrame_; ++k) {
        if (director.passFrame(gridMs(k))) burst.advanceAll();
    }
}

int ShowStart::drawLeadIn(SceneDirector& director, const FrustumParams& frustum) {
    if (!requested() || leadInDrawn_) return 1;
    leadInDrawn_ = true;
    for (std::int64_t k = leadInFrame_; k < firstFrame_; ++k) {
        if (director.renderScene(frustum, gridMs(k)) == 0) return 0;
    }
    return 1;
}
