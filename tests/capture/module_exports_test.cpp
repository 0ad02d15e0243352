// The module's optional exports, called on the real module the way a host
// calls them: offline audio and a start before Init and not after, the clock
// moved only by the audio pulled, the end of the show where DmdShowEndMs says,
// and Done without the fade offline.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "common/dmd_api.h"
#include "platforms/egl_offscreen.h"

namespace fs = std::filesystem;

namespace {

constexpr FrustumParams kHost{-5.0, 5.0, -3.75, 3.75, 1.0, 255.0};

template <typename Fn>
Fn symbol(void* handle, const char* name) {
    return reinterpret_cast<Fn>(::dlsym(handle, name));
}

class ModuleExports : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime_ = fs::temp_directory_path() / ("module-exports-" + std::to_string(::getpid()));
        fs::create_directories(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        oldCwd_ = fs::current_path();
        fs::current_path(BUILD_DIR);  // the archive and the song
        gl_ = std::make_unique<EglOffscreen>(160, 120);
        ASSERT_TRUE(gl_->ok()) << gl_->error();
        handle_ = ::dlopen(MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << ::dlerror();
        init = symbol<DmdInitFn>(handle_, "Init");
        render = symbol<DmdRenderSceneFn>(handle_, "RenderScene");
        done = symbol<DmdDoneFn>(handle_, "Done");
        startAt = symbol<DmdStartAtFn>(handle_, kDmdStartAtName);
        useOfflineAudio = symbol<DmdUseOfflineAudioFn>(handle_, kDmdUseOfflineAudioName);
        pullAudio = symbol<DmdPullAudioFn>(handle_, kDmdPullAudioName);
        showEndMs = symbol<DmdShowEndMsFn>(handle_, kDmdShowEndMsName);
        ASSERT_TRUE(startAt && useOfflineAudio && pullAudio && showEndMs);
    }
    void TearDown() override {
        if (handle_ != nullptr) {
            gl_->releaseContext();
            done();
            ::dlclose(handle_);
        }
        gl_.reset();
        fs::current_path(oldCwd_);
        fs::remove_all(runtime_);
    }

    int start(int soundEnabled) {
        char message[kMessageBufferSize] = {};
        char* target = message;
        const int result = init(nullptr, soundEnabled, &target);
        EXPECT_EQ(result, 1) << message;
        return result;
    }
    int frame() {
        return render(0, 1, kHost.left, kHost.right, kHost.bottom, kHost.top, kHost.nearVal,
                      kHost.farVal);
    }

    DmdInitFn init = nullptr;
    DmdRenderSceneFn render = nullptr;
    DmdDoneFn done = nullptr;
    DmdStartAtFn startAt = nullptr;
    DmdUseOfflineAudioFn useOfflineAudio = nullptr;
    DmdPullAudioFn pullAudio = nullptr;
    DmdShowEndMsFn showEndMs = nullptr;

  private:
    fs::path runtime_;
    fs::path oldCwd_;
    std::unique_ptr<EglOffscreen> gl_;
    void* handle_ = nullptr;
};

TEST_F(ModuleExports, OfflineTheClockMovesOnlyByThePulledSong) {
    EXPECT_EQ(useOfflineAudio(), 44100);
    EXPECT_EQ(startAt(1559000, 60), 1);
    ASSERT_EQ(start(1), 1);
    EXPECT_EQ(startAt(0, 60), 0);  // too late once Init ran
    EXPECT_EQ(useOfflineAudio(), 0);
    EXPECT_EQ(showEndMs(), 1560000);

    // Frames drawn without pulling stay at 1559 s, however many.
    for (int i = 0; i < 5; ++i) EXPECT_EQ(frame(), 1);
    // A second of song less one sample: the clock stops a millisecond short
    // of the end.
    std::vector<std::int16_t> song(44100 * 2);
    const int justShort = 44099;
    ASSERT_EQ(pullAudio(song.data(), justShort), justShort);
    EXPECT_EQ(frame(), 1);
    int loud = 0;
    for (std::int16_t s : song) loud += std::abs(s) > 1000;
    EXPECT_GT(loud, 1000);
    // One more sample reaches 1560 s: the end.
    ASSERT_EQ(pullAudio(song.data(), 1), 1);
    EXPECT_EQ(frame(), 0);

    // Offline, nothing is faded: Done returns at once, well short of the
    // 1024 ms (256 steps of 4 ms) a fade takes, even on a loaded machine.
    const auto before = std::chrono::steady_clock::now();
    done();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_EQ(pullAudio(song.data(), 10), 0);  // closed
}

TEST_F(ModuleExports, WithoutOfflineAudioNothingCanBePulledAndTheShowRunsAsEver) {
    EXPECT_EQ(startAt(-1, 60), 0);
    EXPECT_EQ(startAt(1000, 0), 0);
    ASSERT_EQ(start(0), 1);
    std::vector<std::int16_t> song(200);
    EXPECT_EQ(pullAudio(song.data(), 100), 0);
    EXPECT_EQ(frame(), 1);
}

TEST_F(ModuleExports, ARefusedStartLeavesTheShowAtItsBeginning) {
    EXPECT_EQ(useOfflineAudio(), 44100);
    EXPECT_EQ(startAt(1570000, 2000), 0);  // no such grid: refused, not half taken
    ASSERT_EQ(start(1), 1);
    EXPECT_EQ(frame(), 1);  // 0 s, not past the end
}

}  // namespace
