// The real module (sorvanel.dmd of this build), loaded the way a host loads
// it: dlopen by file name, every export bound by name. RealModuleTest adds
// what a show needs around it: a private XDG_RUNTIME_DIR (the temporary
// pictures), SDL's dummy audio driver, the build folder as the current
// directory (the archive and the song), an offscreen context current, and at
// the end what the launcher does: the context released, Done, the library
// released.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "common/dmd_api.h"
#include "offscreen/egl_offscreen.h"

// The module built beside these tests, and the build folder with its data.
extern const char* const kRealModulePath;
extern const char* const kRealModuleDataDir;

// One loaded library and its exports; released on destruction. The three
// entry points are needed (ok()), the optional exports are null where the
// library has none.
class LoadedModule : public DmdOptionalExportTable {
  public:
    explicit LoadedModule(const std::filesystem::path& file);
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    bool ok() const { return init != nullptr && renderScene != nullptr && done != nullptr; }
    // Why the library or an entry point could not be had.
    const std::string& error() const { return error_; }

    DmdInitFn init = nullptr;
    DmdRenderSceneFn renderScene = nullptr;
    DmdDoneFn done = nullptr;

  private:
    void* handle_ = nullptr;
    std::string error_;
};

class RealModuleTest : public ::testing::Test {
  protected:
    static constexpr FrustumParams kHostFrustum{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};

    void SetUp() override;
    void TearDown() override;

    // Init with sound or without; expects success and says the text if not.
    int start(int soundEnabled);
    // One RenderScene with the host's default frustum.
    int frame();
    // As the launcher does before Done.
    void releaseContext() { gl_->releaseContext(); }

    // Null until SetUp loaded it.
    std::unique_ptr<LoadedModule> module_;

  private:
    std::filesystem::path runtime_;
    std::filesystem::path oldCwd_;
    std::unique_ptr<EglOffscreen> gl_;
};
