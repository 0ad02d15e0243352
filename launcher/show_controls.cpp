// The controls over the module's seek and pause exports. A paused show keeps
// the last drawn picture and presents it again each turn, so nothing ages
// while time stands still; a seek drops that picture, and the next frame
// shows the new instant as the module walked it.
#include "show_controls.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

ViewingOptions options;

constexpr int kSmallStepMs = 5000;
constexpr int kLargeStepMs = 60000;
constexpr int kSeekFramesPerSecond = 60;  // as a live start walks its frames
constexpr auto kPausedTurn = std::chrono::milliseconds(5);

void trace(const std::string& step) {
    static const char* path = std::getenv("SORVANEL_HOST_TRACE");
    if (path == nullptr) return;
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "host %s\n", step.c_str());
        std::fclose(f);
    }
}

// Binary PPM, top row first, from GL's bottom-first RGBA rows.
void writeSnapshot(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
                   int height) {
    const std::string partial = path + ".partial";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* in = rgba.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = in[x * 4];
            row[x * 3 + 1] = in[x * 4 + 1];
            row[x * 3 + 2] = in[x * 4 + 2];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    const bool ok = std::fclose(f) == 0;
    if (ok) {
        std::rename(partial.c_str(), path.c_str());
    } else {
        std::remove(partial.c_str());
    }
}

std::vector<std::uint8_t> readBackBuffer(int width, int height) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace

void setViewingOptions(const ViewingOptions& o) {
    options = o;
}

const ViewingOptions& viewingOptions() {
    return options;
}

int eventNumberAt(int songMs, const std::vector<int>& eventStartsMs) {
    if (eventStartsMs.empty()) return 0;
    const auto after = std::upper_bound(eventStartsMs.begin(), eventStartsMs.end(), songMs);
    return std::max(1, static_cast<int>(after - eventStartsMs.begin()));
}

int controlTargetMs(SdlWindow::Key key, int nowMs, const std::vector<int>& eventStartsMs,
                    int endMs) {
    int target = -1;
    const int number = eventNumberAt(nowMs, eventStartsMs);  // 1-based
    switch (key) {
        case SdlWindow::Key::Left:
            target = nowMs - kSmallStepMs;
            break;
        case SdlWindow::Key::Right:
            target = nowMs + kSmallStepMs;
            break;
        case SdlWindow::Key::PageUp:
            target = nowMs - kLargeStepMs;
            break;
        case SdlWindow::Key::PageDown:
            target = nowMs + kLargeStepMs;
            break;
        case SdlWindow::Key::Home:
            target = 0;
            break;
        case SdlWindow::Key::N:
            if (number == 0) return -1;
            if (number >= static_cast<int>(eventStartsMs.size())) return -1;
            target = eventStartsMs[number];
            break;
        case SdlWindow::Key::P:
            if (number == 0) return -1;
            target = eventStartsMs[std::max(0, number - 2)];
            break;
        default:
            return -1;
    }
    target = std::max(0, target);
    if (endMs > 0) target = std::min(target, endMs - 1);
    return target;
}

std::string controlsTitle(const char* base, int songMs, int eventNumber, int eventCount,
                          bool paused) {
    const int ms = std::max(0, songMs);
    char text[160];
    // Tenths: the title changes ten times a second, not every frame.
    std::snprintf(text, sizeof text, "%s - %d:%02d.%d", base, ms / 60000, ms / 1000 % 60,
                  ms / 100 % 10);
    std::string title = text;
    if (eventNumber > 0) {
        std::snprintf(text, sizeof text, " - event %d/%d", eventNumber, eventCount);
        title += text;
    }
    if (paused) title += " - paused";
    return title;
}

void ShowControls::begin(const OptionalExports& exports, SdlWindow& window, const char* baseTitle) {
    exports_ = exports;
    window_ = &window;
    baseTitle_ = baseTitle;
    const bool canSeek =
        exports.seekTo != nullptr && exports.songTimeMs != nullptr && exports.songTimeMs() >= 0;
    const bool canPause = exports.setPaused != nullptr;
    if (options.controls) {
        controlsOn_ = canSeek && canPause;
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
    if (exports.describeEvent != nullptr) {
        DmdEventInfo info{};
        for (int i = 0; exports.describeEvent(i, &info) != 0; ++i) {
            eventStartsMs_.push_back(info.startMs);
        }
    }
    endMs_ = exports.showEndMs != nullptr ? exports.showEndMs() : -1;
}

int ShowControls::songMs() const {
    return exports_.songTimeMs != nullptr ? exports_.songTimeMs() : 0;
}

void ShowControls::noteAction(const char* what) {
    snapshotDue_ = true;
    trace(std::string(what) + " song=" + std::to_string(songMs()) +
          (paused_ ? " paused" : " playing"));
}

void ShowControls::seek(int targetMs, const char* why) {
    if (exports_.seekTo(targetMs, kSeekFramesPerSecond) == 0) return;
    heldRgba_.clear();  // the next frame draws the new instant, and is kept
    noteAction((std::string(why) + " " + std::to_string(targetMs)).c_str());
}

void ShowControls::togglePause() {
    if (exports_.setPaused(paused_ ? 0 : 1) == 0) return;
    paused_ = !paused_;
    // Pausing keeps the next frame drawn at the held time.
    heldRgba_.clear();
    noteAction(paused_ ? "pause" : "resume");
}

void ShowControls::keyPressed(SdlWindow::Key key) {
    if (!controlsOn_) return;
    if (key == SdlWindow::Key::Space) {
        togglePause();
        return;
    }
    const int target = controlTargetMs(key, songMs(), eventStartsMs_, endMs_);
    if (target >= 0) seek(target, "seek");
}

bool ShowControls::startOver() {
    if (!loopOn_) return false;
    if (paused_) togglePause();
    if (exports_.seekTo(0, kSeekFramesPerSecond) == 0) return false;
    heldRgba_.clear();
    noteAction("loop 0");
    return true;
}

bool ShowControls::showsHeldPicture(int width, int height) {
    if (!paused_ || heldRgba_.empty()) return false;
    if (width == heldWidth_ && height == heldHeight_) return true;
    heldRgba_.clear();
    return false;
}

void ShowControls::drawHeldPicture() const {
    const int width = heldWidth_;
    const int height = heldHeight_;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_SCISSOR_TEST);
    glPixelZoom(1.0f, 1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos2f(-1.0f, -1.0f);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, heldRgba_.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopClientAttrib();
    glPopAttrib();
    std::this_thread::sleep_for(kPausedTurn);  // nothing moves: no need to spin
}

void ShowControls::frameDrawn(int width, int height) {
    static const char* snapshotPrefix = std::getenv("SORVANEL_HOST_SNAPSHOT");
    const bool keep = paused_ && heldRgba_.empty();
    const bool snapshot = snapshotDue_ && snapshotPrefix != nullptr;
    if (keep || snapshot) {
        std::vector<std::uint8_t> rgba = readBackBuffer(width, height);
        if (snapshot) {
            ++snapshotCount_;
            writeSnapshot(
                std::string(snapshotPrefix) + "-" + std::to_string(snapshotCount_) + ".ppm", rgba,
                width, height);
            trace("snapshot " + std::to_string(snapshotCount_) +
                  " song=" + std::to_string(songMs()));
        }
        if (keep) {
            heldRgba_ = std::move(rgba);
            heldWidth_ = width;
            heldHeight_ = height;
        }
    }
    snapshotDue_ = false;
    if (!controlsOn_ || window_ == nullptr) return;
    const int ms = songMs();
    const std::string title =
        controlsTitle(baseTitle_.c_str(), ms, eventNumberAt(ms, eventStartsMs_),
                      static_cast<int>(eventStartsMs_.size()), paused_);
    if (title != shownTitle_) {
        window_->setTitle(title.c_str());
        shownTitle_ = title;
    }
}
