// Implements OfflineShow: the offline start of the show host on an EGL
// pbuffer.
#include "capture/offline_show.h"

#include "platforms/egl_offscreen.h"

OfflineShow::OfflineShow() = default;

OfflineShow::~OfflineShow() {
    close();
}

bool OfflineShow::open(const std::string& moduleName, int width, int height, PictureShape shape,
                       int startMs, int framesPerSecond, std::string& error) {
    char message[kMessageBufferSize] = {};
    if (!host_.LoadModule(moduleName, message)) {
        error = message;
        const std::string& detail = lastModuleLoadDetail();
        if (!detail.empty()) error += " (" + detail + ")";
        return false;
    }
    if (!host_.exports().offline()) {
        error = "this module cannot be rendered offscreen: it does not export " +
                std::string(kDmdStartAtName) + ", " + kDmdUseOfflineAudioName + " and " +
                kDmdPullAudioName;
        return false;
    }
    surface_ = std::make_unique<EglOffscreen>(width, height);
    if (!surface_->ok()) {
        error = "no offscreen OpenGL context: " + surface_->error();
        return false;
    }
    // The frustum the live launcher gives a window of this size.
    host_.request(width, height, false);
    host_.choosePictureShape(shape);
    host_.attach(*surface_);
    if (!host_.initialise({startMs, framesPerSecond, true}, 1, message)) {
        error = message[0] != '\0' ? message : "the module could not start";
        return false;
    }
    host_.setRunning(true);
    showEndMs_ = host_.exports().showEndMs != nullptr ? host_.exports().showEndMs() : -1;
    return true;
}

bool OfflineShow::pullAudio(std::int16_t* interleavedStereo, int frames) {
    if (frames <= 0) return true;
    return host_.exports().pullAudio(interleavedStereo, frames) == frames;
}

void OfflineShow::close() {
    host_.close();
    surface_.reset();
}
