// Implements the held picture over a framebuffer copy of the back buffer.
#include "live/held_picture.h"

#include <chrono>
#include <thread>

namespace {

constexpr auto kPausedTurn = std::chrono::milliseconds(5);

}  // namespace

void HeldPicture::keep(int width, int height) {
    if (!picture_.keepBackBuffer(width, height)) picture_.release();
}

bool HeldPicture::holds(int width, int height) {
    if (picture_.empty()) return false;
    if (width == picture_.width() && height == picture_.height()) return true;
    picture_.release();
    return false;
}

void HeldPicture::draw() const {
    picture_.drawInto(0, 0, picture_.width(), picture_.height());
    std::this_thread::sleep_for(kPausedTurn);
}

void HeldPicture::drop() {
    picture_.release();
}
