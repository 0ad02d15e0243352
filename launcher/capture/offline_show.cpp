// Implements OfflineShow over the show host's offline start and the
// reduction in linear light.
#include "capture/offline_show.h"

#include "capture/linear_light.h"

OfflineShow::OfflineShow() = default;

OfflineShow::~OfflineShow() {
    close();
}

bool OfflineShow::open(const std::string& moduleName, Surface& surface, PictureShape shape,
                       int startMs, int framesPerSecond, std::string& error) {
    char message[kMessageBufferSize] = {};
    if (!host_.LoadModule(moduleName, message)) {
        error = withDetail(message, startFailureDetail());
        return false;
    }
    if (!host_.exports().offline()) {
        error = "this module cannot be rendered offscreen: it does not export " +
                std::string(kDmdStartAtName) + ", " + kDmdUseOfflineAudioName + " and " +
                kDmdPullAudioName;
        return false;
    }
    // The module tells its end before Init: a start past it starts nothing.
    showEndMs_ = host_.showEndMs();
    if (showEndMs_ >= 0 && startMs >= showEndMs_) {
        pastTheEnd_ = true;
        error = "the show is over at " + showSecondsText(showEndMs_);
        return false;
    }
    // The frustum the live launcher gives a window of this size.
    ShowRequest request;
    request.moduleName = moduleName;
    request.width = surface.drawableWidth();
    request.height = surface.drawableHeight();
    request.shape = shape;
    request.startMs = startMs;
    host_.request(request);
    host_.attach(surface);
    if (!host_.initialiseOffline(framesPerSecond, message)) {
        error = withDetail(message[0] != '\0' ? message : "the module could not start",
                           startFailureDetail());
        return false;
    }
    host_.setRunning(true);
    return true;
}

void OfflineShow::readFrame(PixelOrder order, std::vector<std::uint8_t>& rows) {
    if (reduceBy_ <= 1) {
        host_.readPixels(order, rows);
        return;
    }
    host_.readPixels(order, drawn_);
    reduceInLinearLight(drawn_, host_.state().clientWidth, host_.state().clientHeight, reduceBy_,
                        rows);
}

bool OfflineShow::pullAudio(std::int16_t* interleavedStereo, int frames) {
    return host_.pullOfflineAudio(interleavedStereo, frames);
}

void OfflineShow::close() {
    host_.close();
}
