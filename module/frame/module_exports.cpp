// The module's contract with the launcher: Init, RenderScene and Done.
// Init gets everything ready in a fixed order and stops at the first failure
// with a text in the launcher's buffer; RenderScene is the scene director.
#include <cstring>
#include <string>

#include "assets/archive.h"
#include "assets/temp_directory.h"
#include "common/dmd_api.h"
#include "frame/module_objects.h"

namespace {

constexpr const char* kSongFileName = "Sorvanel.it";
constexpr const char* kFontFaceName = "Arial Black";
constexpr float kGlyphDepth = 0.1f;

void writeMessage(char** messageTarget, const char* text) {
    if (messageTarget == nullptr || *messageTarget == nullptr) return;
    std::strncpy(*messageTarget, text, kMessageBufferSize - 1);
    (*messageTarget)[kMessageBufferSize - 1] = '\0';
}

bool loadPictures() {
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        const std::string path = tempDirectory + tempFileNameForSlot(slot);
        if (textureSlots[slot].load(path.c_str(), 0, 1) == 0) return false;
    }
    return true;
}

}  // namespace

DMD_EXPORT int Init(void* deviceContext, int soundEnabled, char** messageTarget) {
    // Without a private directory there is nowhere safe to unpack to, and no
    // picture can be found: that is a texture failure, not a silent fallback
    // to the current directory.
    tempDirectory = privateTempDirectory();
    if (tempDirectory.empty()) {
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }
    unpackArchive(tempDirectory);
    if (!loadPictures()) {
        writeMessage(messageTarget, "Loading Texture failed!");
        return 0;
    }
    deleteTempFiles(tempDirectory);

    songPlayer.setSongName(kSongFileName);
    musicStarted = songPlayer.open(messageTarget, soundEnabled);
    if (musicStarted == 0) return 0;

    sceneDirector.clockSeconds = 0.0;
    sceneRenderer.text.depth = kGlyphDepth;
    sceneRenderer.text.createFont(deviceContext, kFontFaceName, kGlyphDepth);

    if (!eventTimeline.buildScript()) {
        writeMessage(messageTarget, "Building the script failed!");
        return 0;
    }
    songPlayer.play();
    return 1;
}

DMD_EXPORT int RenderScene(std::uint32_t, int, double left, double right, double bottom, double top,
                           double nearVal, double farVal) {
    const FrustumParams frustum{left, right, bottom, top, nearVal, farVal};
    return sceneDirector.renderScene(frustum, songPlayer.timeMs());
}

DMD_EXPORT void Done() {
    if (musicStarted != 0) {
        songPlayer.close(1);
        musicStarted = 0;
    }
}
