// Implements OfflineShow with the host's own loader and projection: the same
// calls in the same order as RunPresentation, with an EGL pbuffer for the
// window and the optional exports between the projection and Init.
#include "capture/offline_show.h"

#include <GL/gl.h>

#include "module_loader.h"
#include "picture_area.h"
#include "platforms/egl_offscreen.h"
#include "presentation.h"

OfflineShow::OfflineShow() = default;

OfflineShow::~OfflineShow() {
    close();
}

bool OfflineShow::open(const std::string& moduleName, int width, int height, int startMs,
                       int framesPerSecond, std::string& error) {
    char message[kMessageBufferSize] = {};
    if (!LoadModule(moduleName.c_str(), message)) {
        error = message;
        const std::string& detail = lastModuleLoadDetail();
        if (!detail.empty()) error += " (" + detail + ")";
        return false;
    }
    loaded_ = true;
    exports_ = bindOptionalExports();
    if (exports_.startAt == nullptr || exports_.useOfflineAudio == nullptr ||
        exports_.pullAudio == nullptr) {
        error = "this module cannot be rendered offscreen: it does not export " +
                std::string(kDmdStartAtName) + ", " + kDmdUseOfflineAudioName + " and " +
                kDmdPullAudioName;
        return false;
    }

    context_ = std::make_unique<EglOffscreen>(width, height);
    if (!context_->ok()) {
        error = "no offscreen OpenGL context: " + context_->error();
        return false;
    }
    // The frustum the live launcher gives a window of this size.
    hostState.fullScreen = false;
    hostState.requestedWidth = width;
    hostState.requestedHeight = height;
    hostState.clientWidth = width;
    hostState.clientHeight = height;
    hostState.pictureShape = pictureShapeForModule();
    SetDefaultProjection();

    audioRate_ = exports_.useOfflineAudio();
    if (audioRate_ <= 0 || exports_.startAt(startMs, framesPerSecond) == 0) {
        error = "the module refused the offline start";
        return false;
    }
    if (moduleBinding.init != nullptr) {
        char* bufferPointer = message;
        if (moduleBinding.init(nullptr, 1, &bufferPointer) == 0) {
            error = message[0] != '\0' ? message : "the module could not start";
            return false;
        }
    }
    hostState.running = true;
    showEndMs_ = exports_.showEndMs != nullptr ? exports_.showEndMs() : -1;
    return true;
}

bool OfflineShow::drawFrame() {
    preparePictureArea(hostState.picture, context_->width(), context_->height());
    const FrustumParams& f = hostState.currentFrustum;
    return moduleBinding.renderScene(0, 1, f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal) !=
           0;
}

const std::vector<std::uint8_t>& OfflineShow::readFrame() {
    // Into the same buffer every frame: a capture reads thousands.
    pixels_.resize(static_cast<std::size_t>(context_->width()) * context_->height() * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, context_->width(), context_->height(), GL_RGBA, GL_UNSIGNED_BYTE,
                 pixels_.data());
    return pixels_;
}

void OfflineShow::finishDrawing() {
    glFinish();
}

void OfflineShow::readFrameBgraInto(std::vector<std::uint8_t>& rows) {
    rows.resize(static_cast<std::size_t>(context_->width()) * context_->height() * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, context_->width(), context_->height(), GL_BGRA, GL_UNSIGNED_BYTE,
                 rows.data());
}

bool OfflineShow::pullAudio(std::int16_t* interleavedStereo, int frames) {
    if (frames <= 0) return true;
    return exports_.pullAudio(interleavedStereo, frames) == frames;
}

void OfflineShow::close() {
    hostState.running = false;
    if (context_ != nullptr) context_->releaseCurrent();
    if (loaded_) UnloadModule();
    loaded_ = false;
    context_.reset();
}
