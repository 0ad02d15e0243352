// Implements ShowHost over the module loader, a Surface and the host's few GL
// calls (the projection, the picture's area, finishing); every call into the
// module runs under a crash guard that names its phase. The calls into the module are made
// here and nowhere else.
#include "host/show_host.h"

#include <GL/gl.h>

#include <chrono>
#include <cstdio>

#include "host/crash_guard.h"
#include "host/picture_area.h"

const char* volatile moduleCallInProgress = nullptr;

namespace {

HostObserver* processObserver = nullptr;

// Names the module call for its duration (moduleCallInProgress).
class ModuleCall {
  public:
    explicit ModuleCall(const char* name) : outer_(moduleCallInProgress) {
        moduleCallInProgress = name;
    }
    ~ModuleCall() { moduleCallInProgress = outer_; }
    ModuleCall(const ModuleCall&) = delete;
    ModuleCall& operator=(const ModuleCall&) = delete;

  private:
    const char* outer_;
};

// The one failure text of the launcher (startFailureDetail): it outlives the
// host that failed, for the message its driver prints after tearing it down.
std::string lastFailureDetail;

// The host's millisecond tick count: milliseconds of a monotonic clock, kept
// in 32 bits so it wraps after about 49.7 days. The module does not read it.
std::uint32_t tickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void copyMessage(char* buffer, const char* text) {
    std::snprintf(buffer, kMessageBufferSize, "%s", text);
}

}  // namespace

const std::string& startFailureDetail() {
    return lastFailureDetail;
}

std::string withDetail(const std::string& text, const std::string& detail) {
    return detail.empty() ? text : text + " (" + detail + ")";
}

std::string showSecondsText(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", ms / 1000.0);
    return text;
}

std::string startPastTheEndText(int startMs, int endMs) {
    if (startMs <= 0 || endMs < 0 || startMs < endMs) return {};
    return "--start " + showSecondsText(startMs) + ": the show is over at " +
           showSecondsText(endMs);
}

void applyFrustumAndFixedState(const FrustumParams& f) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_NORMALIZE);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
}

void setHostObserver(HostObserver* observer) {
    processObserver = observer;
}

ShowHost::ShowHost() : observer_(processObserver) {}

ShowHost::~ShowHost() {
    close();
}

void ShowHost::note(const std::string& step) const {
    if (observer_ != nullptr) observer_->step(step);
}

bool ShowHost::LoadModule(const std::string& moduleName, char* messageBuffer) {
    lastFailureDetail.clear();
    moduleName_ = moduleName;
    bool loaded = false;
    {
        const CrashGuard guard("DMD could not be loaded! (" + moduleName +
                               ": it crashed while loading");
        const ModuleCall call("its loading");
        loaded = ::LoadModule(binding_, moduleName.c_str(), messageBuffer, &lastFailureDetail);
    }
    exports_ = bindOptionalExports(binding_);
    if (loaded) lastFailureDetail.clear();
    return loaded;
}

int ShowHost::showEndMs() const {
    return exports_.showEndMs != nullptr ? exports_.showEndMs() : -1;
}

void ShowHost::request(const ShowRequest& request) {
    request_ = request;
    state_.fullScreen = request.fullScreen;
    state_.pictureShape = PictureShape::Composed;
    if (request.shape != PictureShape::Widescreen) return;
    if (exports_.followsFrustumAspect != nullptr && exports_.followsFrustumAspect() != 0) {
        state_.pictureShape = PictureShape::Widescreen;
        return;
    }
    std::fputs("talvenor: this module keeps a 4:3 picture; it plays pillarboxed\n", stderr);
}

void ShowHost::attach(Surface& surface) {
    surface_ = &surface;
    contextHeld_ = true;
    state_.picture = {};
    const Surface::Size size = surface.drawableSize();
    storeClientSize(size.width, size.height);
}

void ShowHost::drawableResized() {
    if (surface_ == nullptr) return;
    const Surface::Size size = surface_->drawableSize();
    storeClientSize(size.width, size.height);
}

// The drawable's real size, and the picture placed in it. A widescreen
// picture takes its frustum from its aspect, so that follows too; the
// composed picture is 4:3 at every size and keeps the frustum it has.
void ShowHost::storeClientSize(int width, int height) {
    state_.clientWidth = width;
    state_.clientHeight = height;
    state_.picture = pictureRectFor(width, height, state_.pictureShape);
    if (state_.pictureShape == PictureShape::Widescreen) {
        // Only the frustum handed over changes: the GL state is the module's.
        state_.currentFrustum = defaultFrustumFor(
            state_.picture, state_.pictureShape, state_.tileCount, state_.tileIndex, state_.aspect);
    }
    preparePictureArea(state_.picture, width, height);
    const PictureRect& p = state_.picture;
    char text[128];
    std::snprintf(text, sizeof text, "picture drawable=%d,%d at=%d,%d size=%d,%d", width, height,
                  p.x, p.y, p.width, p.height);
    note(text);
}

void ShowHost::SetDefaultProjection() {
    state_.picture = pictureRectFor(state_.clientWidth, state_.clientHeight, state_.pictureShape);
    const FrustumParams f = defaultFrustumFor(state_.picture, state_.pictureShape, state_.tileCount,
                                              state_.tileIndex, state_.aspect);
    ApplyProjection(f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
}

void ShowHost::ApplyProjection(double left, double right, double bottom, double top, double nearVal,
                               double farVal) {
    state_.currentFrustum = {left, right, bottom, top, nearVal, farVal};
    preparePictureArea(state_.picture, state_.clientWidth, state_.clientHeight);
    applyFrustumAndFixedState(state_.currentFrustum);
}

bool ShowHost::initialise(char* messageBuffer) {
    SetDefaultProjection();
    const int startMs = request_.startMs;
    // A module that cannot start part-way plays from the beginning.
    if (startMs > 0 &&
        (exports_.startAt == nullptr || exports_.startAt(startMs, kLiveFramesPerSecond) == 0)) {
        std::fputs("talvenor: this module cannot start part-way; it plays from the beginning\n",
                   stderr);
    }
    const int offsetMs = request_.audioOffsetMs;
    if (offsetMs != 0 &&
        (exports_.setAudioOffsetMs == nullptr || exports_.setAudioOffsetMs(offsetMs) == 0)) {
        std::fputs("talvenor: this module cannot wait for its sound; --audio-offset is refused\n",
                   stderr);
    }
    return callInit(request_.soundEnabled ? 1 : 0, messageBuffer);
}

bool ShowHost::initialiseOffline(int framesPerSecond, char* messageBuffer) {
    SetDefaultProjection();
    offlineAudioRate_ = exports_.useOfflineAudio != nullptr ? exports_.useOfflineAudio() : 0;
    if (offlineAudioRate_ <= 0 || exports_.startAt == nullptr ||
        exports_.startAt(request_.startMs, framesPerSecond) == 0) {
        copyMessage(messageBuffer, "the module refused the offline start");
        lastFailureDetail.clear();
        return false;
    }
    return callInit(1, messageBuffer);
}

// The start tick, then Init; a crash in Init ends the program with one line
// that names the module.
bool ShowHost::callInit(int soundEnabled, char* messageBuffer) {
    state_.startTick = tickCount();
    if (binding_.init == nullptr) return true;
    char* bufferPointer = messageBuffer;
    void* deviceContext = surface_ != nullptr ? surface_->nativeHandle() : nullptr;
    int started = 0;
    {
        const CrashGuard guard(moduleName_ + ": the module crashed in Init");
        const ModuleCall call("Init");
        started = binding_.init(deviceContext, soundEnabled, &bufferPointer);
    }
    if (started != 0) return true;
    // Kept as text: the module, and its string, go with the host.
    const char* detail = exports_.failureDetail != nullptr ? exports_.failureDetail() : nullptr;
    lastFailureDetail = detail != nullptr ? detail : "";
    return false;
}

std::string ShowHost::whereInTheShow() const {
    const int songMs = exports_.songTimeMs != nullptr ? exports_.songTimeMs() : -1;
    return songMs >= 0 ? "song time " + showSecondsText(songMs)
                       : "frame " + std::to_string(framesRendered_);
}

bool ShowHost::renderFrame() {
    preparePictureArea(state_.picture, state_.clientWidth, state_.clientHeight);
    if (observer_ != nullptr) observer_->frameStarting(*this);
    const FrustumParams& f = state_.currentFrustum;
    {
        const CrashGuard guard(moduleName_ + ": the module crashed in RenderScene, drawing the " +
                               "frame at " + whereInTheShow());
        const ModuleCall call("RenderScene");
        moduleFrameDrawn_ = binding_.renderScene(state_.startTick, 1, f.left, f.right, f.bottom,
                                                 f.top, f.nearVal, f.farVal) != 0;
    }
    ++framesRendered_;
    return moduleFrameDrawn_;
}

bool ShowHost::pullOfflineAudio(std::int16_t* interleavedStereo, int frames) {
    if (frames <= 0) return true;
    if (exports_.pullAudio == nullptr) return false;
    const CrashGuard guard(moduleName_ + ": the module crashed mixing its song offline at " +
                           whereInTheShow());
    const ModuleCall call("the song pull (DmdPullAudio)");
    return exports_.pullAudio(interleavedStereo, frames) == frames;
}

void ShowHost::frameDrawn() {
    if (observer_ != nullptr) observer_->frameDrawn(*this);
}

void ShowHost::present() {
    surface_->present();
    if (moduleFrameDrawn_ && exports_.frameShown != nullptr) exports_.frameShown();
    moduleFrameDrawn_ = false;
    note("swap");
}

void ShowHost::setPresentationDelay(int ms) {
    if (exports_.setPresentationDelayMs != nullptr) exports_.setPresentationDelayMs(ms);
}

void ShowHost::finishDrawing() {
    glFinish();
}

void ShowHost::readPixels(PixelOrder order, std::vector<std::uint8_t>& rows) const {
    surface_->readPixels(order, rows);
}

void ShowHost::close() {
    state_.running = false;
    if (contextHeld_) {
        surface_->releaseContext();
        contextHeld_ = false;
        note("context-released");
    }
    if (binding_.moduleHandle != nullptr) {
        const CrashGuard guard(moduleName_ + ": the module crashed in Done or as it was unloaded");
        const ModuleCall call("Done");
        UnloadModule(binding_);
        exports_ = {};
        note("module-unloaded");
    }
}
