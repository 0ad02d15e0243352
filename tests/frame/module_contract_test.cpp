// The real module loaded the way the launcher loads it, with an offscreen
// context current: Init's failure texts and what each failure leaves behind,
// Done with and without Init, and a successful start with sound off.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "assets/archive.h"
#include "common/dmd_api.h"
#include "offscreen/egl_offscreen.h"
#include "real_module.h"

namespace fs = std::filesystem;

namespace {

const fs::path kModule = kRealModulePath;
const fs::path kArchive = ARCHIVE_PATH;
const fs::path kSong = SONG_PATH;

class ModuleContract : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("module-contract-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "show");
        fs::create_directories(root_ / "runtime");
        fs::permissions(root_ / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (root_ / "runtime").c_str(), 1);
        oldCwd_ = fs::current_path();
        fs::current_path(root_ / "show");
        gl_ = std::make_unique<EglOffscreen>(160, 120);
        ASSERT_TRUE(gl_->ok()) << gl_->error();
        // The module reads its data beside itself: a copy in the show folder.
        fs::copy_file(kModule, root_ / "show" / kModule.filename());
        module_ = std::make_unique<LoadedModule>(root_ / "show" / kModule.filename());
        ASSERT_TRUE(module_->ok()) << module_->error();
    }
    void TearDown() override {
        if (module_ != nullptr) {
            // As the launcher does: the context goes before Done and the unload.
            gl_->releaseContext();
            module_->done();
            module_.reset();
        }
        gl_.reset();
        fs::current_path(oldCwd_);
        fs::remove_all(root_);
    }

    int init(int soundEnabled = 0) {
        char* target = message_;
        return module_->init(nullptr, soundEnabled, &target);
    }
    fs::path privateDir() const { return root_ / "runtime" / "sorvanel"; }
    std::size_t filesIn(const fs::path& dir) const {
        if (!fs::exists(dir)) return 0;
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    static std::string readArchive() {
        std::ifstream in(kArchive, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void provide(const fs::path& file) { fs::copy_file(file, root_ / "show" / file.filename()); }

    fs::path root_;
    fs::path oldCwd_;
    std::unique_ptr<EglOffscreen> gl_;
    std::unique_ptr<LoadedModule> module_;
    char message_[kMessageBufferSize] = {};
};

TEST_F(ModuleContract, DoneWithoutInitDoesNothing) {
    gl_->releaseContext();
    const auto start = std::chrono::steady_clock::now();
    module_->done();
    module_->done();
    // No fade ran: that needs a started song, and takes 1024 ms at least
    // (256 steps of 4 ms). Anything shorter, however slow a loaded machine
    // makes the calls, is no fade.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
    EXPECT_EQ(filesIn(privateDir()), 0u);
}

TEST_F(ModuleContract, MissingArchiveWithoutLeftoversIsATextureFailureWritingNothing) {
    provide(kSong);
    EXPECT_EQ(init(), 0);
    EXPECT_STREQ(message_, "Loading Texture failed!");
    EXPECT_EQ(filesIn(privateDir()), 0u);
    EXPECT_EQ(filesIn(root_ / "show"), 2u);  // only the module and the song
}

TEST_F(ModuleContract, MissingSongIsReportedAfterThePicturesAreLoadedAndCleanedUp) {
    provide(kArchive);
    EXPECT_EQ(init(), 0);
    EXPECT_STREQ(message_, "Soundfile not found");
    EXPECT_EQ(filesIn(privateDir()), 0u);  // the temporary pictures are gone
}

TEST_F(ModuleContract, AfterAFailedStartFramesAndDoneAreSafeAndDoneEndsTheShowOnce) {
    provide(kArchive);
    EXPECT_EQ(init(), 0);  // no song
    // What the failed start built stays for the frames a host may still ask
    // for: no script, so nothing to draw and no end.
    EXPECT_EQ(module_->renderScene(0, 1, -5, 5, -3.75, 3.75, 1, 255), 1);
    EXPECT_EQ(module_->renderScene(0, 1, -5, 5, -3.75, 3.75, 1, 255), 1);
    gl_->releaseContext();
    const auto start = std::chrono::steady_clock::now();
    module_->done();
    module_->done();
    // No music was started, so no fade (1024 ms at least) ran.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
}

TEST_F(ModuleContract, ArchiveCutInsideItsLastEntryFailsOnThatPictureAndLeavesTheRest) {
    provide(kSong);
    std::string bytes = readArchive();
    bytes.resize(bytes.size() - 100);
    std::ofstream(root_ / "show" / kArchive.filename(), std::ios::binary) << bytes;
    EXPECT_EQ(init(), 0);
    EXPECT_STREQ(message_, "Loading Texture failed!");
    // Only complete entries were written; the last one was not.
    EXPECT_EQ(filesIn(privateDir()), static_cast<std::size_t>(kArchiveEntryCount - 1));
    EXPECT_FALSE(fs::exists(privateDir() / kArchiveEntries[kArchiveEntryCount - 1].tempFileName));
}

TEST_F(ModuleContract, FilesLeftByAFailedStartServeAStartWithoutTheArchive) {
    provide(kSong);
    const std::string bytes = readArchive();
    fs::create_directories(privateDir());
    fs::permissions(privateDir(), fs::perms::owner_all);
    const unsigned char key[3] = {19, 41, 167};
    for (const ArchiveEntry& e : kArchiveEntries) {
        std::string plain = bytes.substr(e.offset, e.length);
        for (std::size_t j = 0; j < plain.size(); ++j)
            plain[j] = static_cast<char>(plain[j] ^ key[j % 3]);
        std::ofstream(privateDir() / e.tempFileName, std::ios::binary) << plain;
    }
    EXPECT_EQ(init(), 1) << message_;
    EXPECT_EQ(filesIn(privateDir()), 0u);  // used, then deleted
}

TEST_F(ModuleContract, SuccessfulStartWithSoundOffDrawsAndFadesOutInAboutASecond) {
    provide(kArchive);
    provide(kSong);
    ASSERT_EQ(init(0), 1) << message_;
    EXPECT_EQ(message_[0], '\0');
    EXPECT_EQ(filesIn(privateDir()), 0u);  // temporary pictures deleted
    EXPECT_EQ(module_->renderScene(0, 1, -5, 5, -3.75, 3.75, 1, 255), 1);
    gl_->releaseContext();
    const auto start = std::chrono::steady_clock::now();
    module_->done();
    const auto took = std::chrono::steady_clock::now() - start;
    // 256 volume steps, each after a 4 ms sleep.
    EXPECT_GE(took, std::chrono::milliseconds(1024));
    module_.reset();
}

}  // namespace
