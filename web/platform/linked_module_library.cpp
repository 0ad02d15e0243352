// Implements the module library calls where there are no dynamic libraries
// (a browser): the module is linked into the same program, opening it by its
// own name yields it, and its exports come from a table by name.
#include <cstdint>
#include <cstring>

#include "common/dmd_api.h"
#include "host/module_library.h"

extern "C" {
int Init(void* deviceContext, int soundEnabled, char** messageTarget);
int RenderScene(std::uint32_t startTick, int always1, double left, double right, double bottom,
                double top, double nearVal, double farVal);
void Done();
int DmdStartAt(int songMs, int framesPerSecond);
int DmdUseOfflineAudio();
int DmdPullAudio(std::int16_t* interleavedStereo, int frames);
int DmdShowEndMs();
int DmdSeekTo(int songMs, int framesPerSecond);
int DmdSetPaused(int paused);
int DmdSongTimeMs();
int DmdDescribeEvent(int index, DmdEventInfo* info);
int DmdFollowsFrustumAspect();
int DmdSetAudioOffsetMs(int ms);
const char* DmdFailureDetail();
}

namespace {

constexpr const char* kLinkedModuleName = "sorvanel.dmd";
int linkedModule = 0;  // its address is the handle

struct Export {
    const char* name;
    void* address;
};

const Export kExports[] = {
    {"Init", reinterpret_cast<void*>(&Init)},
    {"RenderScene", reinterpret_cast<void*>(&RenderScene)},
    {"Done", reinterpret_cast<void*>(&Done)},
    {kDmdStartAtName, reinterpret_cast<void*>(&DmdStartAt)},
    {kDmdUseOfflineAudioName, reinterpret_cast<void*>(&DmdUseOfflineAudio)},
    {kDmdPullAudioName, reinterpret_cast<void*>(&DmdPullAudio)},
    {kDmdShowEndMsName, reinterpret_cast<void*>(&DmdShowEndMs)},
    {kDmdSeekToName, reinterpret_cast<void*>(&DmdSeekTo)},
    {kDmdSetPausedName, reinterpret_cast<void*>(&DmdSetPaused)},
    {kDmdSongTimeMsName, reinterpret_cast<void*>(&DmdSongTimeMs)},
    {kDmdDescribeEventName, reinterpret_cast<void*>(&DmdDescribeEvent)},
    {kDmdFollowsFrustumAspectName, reinterpret_cast<void*>(&DmdFollowsFrustumAspect)},
    {kDmdFailureDetailName, reinterpret_cast<void*>(&DmdFailureDetail)},
    {kDmdSetAudioOffsetMsName, reinterpret_cast<void*>(&DmdSetAudioOffsetMs)},
};

}  // namespace

void* openModuleLibrary(const char* name, std::string& why) {
    if (std::strcmp(name, kLinkedModuleName) == 0) return &linkedModule;
    why = std::string(name) + ": only the show's own module is linked in here";
    return nullptr;
}

void* moduleLibrarySymbol(void*, const char* name) {
    for (const Export& e : kExports) {
        if (std::strcmp(e.name, name) == 0) return e.address;
    }
    return nullptr;
}

void closeModuleLibrary(void*) {}
