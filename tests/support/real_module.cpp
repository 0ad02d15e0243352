// Loading the real module and the fixture around it.
#include "real_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>

namespace fs = std::filesystem;

const char* const kRealModulePath = REAL_MODULE_PATH;
const char* const kRealModuleDataDir = REAL_MODULE_DATA_DIR;

namespace {

template <typename Fn>
Fn symbol(void* handle, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(handle, name));
}

}  // namespace

LoadedModule::LoadedModule(const fs::path& file) {
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = ::dlerror();
        error_ = why != nullptr ? why : file.string() + ": cannot be loaded";
        return;
    }
    init = symbol<DmdInitFn>(handle_, "Init");
    renderScene = symbol<DmdRenderSceneFn>(handle_, "RenderScene");
    done = symbol<DmdDoneFn>(handle_, "Done");
    if (!ok()) error_ = file.string() + ": no Init, RenderScene or Done";
    bindDmdOptionalExports(*this, [&](const char* name) { return ::dlsym(handle_, name); });
}

LoadedModule::~LoadedModule() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

void RealModuleTest::SetUp() {
    runtime_ = fs::temp_directory_path() / ("real-module-" + std::to_string(::getpid()));
    fs::create_directories(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    oldCwd_ = fs::current_path();
    fs::current_path(kRealModuleDataDir);
    gl_ = std::make_unique<EglOffscreen>(160, 120);
    ASSERT_TRUE(gl_->ok()) << gl_->error();
    module_ = std::make_unique<LoadedModule>(kRealModulePath);
    ASSERT_TRUE(module_->ok()) << module_->error();
    // The real module has every optional export.
    const LoadedModule& m = *module_;
    ASSERT_TRUE(m.startAt && m.useOfflineAudio && m.pullAudio && m.showEndMs && m.seekTo &&
                m.setPaused && m.songTimeMs && m.failureDetail && m.setAudioOffsetMs &&
                m.setPresentationDelayMs && m.frameShown);
}

void RealModuleTest::TearDown() {
    if (module_ != nullptr && module_->ok()) {
        gl_->releaseContext();
        module_->done();
    }
    module_.reset();
    gl_.reset();
    if (!oldCwd_.empty()) fs::current_path(oldCwd_);
    fs::remove_all(runtime_);
}

int RealModuleTest::start(int soundEnabled) {
    char message[kMessageBufferSize] = {};
    char* target = message;
    const int result = module_->init(nullptr, soundEnabled, &target);
    EXPECT_EQ(result, 1) << message;
    return result;
}

int RealModuleTest::frame() {
    const FrustumParams& f = kHostFrustum;
    return module_->renderScene(0, 1, f.left, f.right, f.bottom, f.top, f.nearVal, f.farVal);
}
