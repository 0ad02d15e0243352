// The module's picture start-up as Init runs it, over the archive the build
// ships: private directory, unpack, nine loads, deletion; and what a missing,
// cut, corrupted or booby-trapped archive does to it.
#include "assets/picture_startup.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>

#include "asset_test_support.h"
#include "assets/archive.h"
#include "assets/temp_directory.h"
#include "assets/temp_directory_lock.h"
#include "assets/texture_slot.h"
#include "common/failure_detail.h"
#include "gl_test.h"

namespace {

using namespace assets_test;

class PictureStartupTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        ASSERT_EQ(mkdir((scratch / "run").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((scratch / "show").c_str(), 0700), 0);
        cwd.emplace(scratch / "show");
        archive = readBytes(SORVANEL_TEST_ARCHIVE);
        ASSERT_FALSE(archive.empty());
    }

    // Init's steps 1 to 4: -1 when all nine slots loaded (the temporary files
    // are then deleted), else the first slot that failed (they stay).
    int startUp() {
        std::string why;
        tempDirectory = privateTempDirectory(why);
        return loadPicturesFromArchive(tempDirectory, slots);
    }
    void shipArchive(const std::vector<std::uint8_t>& bytes) {
        writeBytes(scratch / "show/morrowen.q7v", bytes);
    }
    int tempFileCount() const {
        int count = 0;
        for (int slot = 0; slot < kTextureSlotCount; ++slot) {
            count += exists(scratch / "run/sorvanel/" + tempFileNameForSlot(slot)) ? 1 : 0;
        }
        return count;
    }

    ScratchDirectory scratch;
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", (scratch / "run").c_str()};
    std::optional<ScopedWorkingDirectory> cwd;
    std::vector<std::uint8_t> archive;
    std::string tempDirectory;
    TextureSlot slots[kTextureSlotCount];
};

TEST_F(PictureStartupTest, LoadsTheNinePicturesAndDeletesTheTemporaryFiles) {
    shipArchive(archive);
    EXPECT_EQ(startUp(), -1);
    EXPECT_EQ(tempDirectory, scratch / "run/sorvanel/");
    for (const TextureSlot& slot : slots) {
        EXPECT_TRUE(slot.width == 256 || slot.width == 512) << slot.width;
        EXPECT_EQ(slot.height, slot.width);
        EXPECT_NE(slot.textureName, 0u);
    }
    EXPECT_EQ(tempFileCount(), 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PictureStartupTest, MissingArchiveFailsOnSlotZeroWritingNothing) {
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(slots[0].width, 2);
    EXPECT_TRUE(fs::is_empty(scratch / "run/sorvanel"));
}

TEST_F(PictureStartupTest, FilesLeftByAFailedStartServeWithoutTheArchive) {
    // The first start fails on slot 4, whose entry is not a JPEG.
    std::vector<std::uint8_t> broken = archive;
    const ArchiveEntry& entry = kArchiveEntries[2];
    ASSERT_EQ(entry.slot, 4);
    std::fill(broken.begin() + entry.offset, broken.begin() + entry.offset + entry.length, 0x55);
    shipArchive(broken);
    EXPECT_EQ(startUp(), 4);
    EXPECT_EQ(slots[4].width, 2);
    EXPECT_EQ(tempFileCount(), 9);

    // Mend the one file by hand, take the archive away: the leftovers serve.
    const std::vector<std::uint8_t> good = [&] {
        std::vector<std::uint8_t> bytes(archive.begin() + entry.offset,
                                        archive.begin() + entry.offset + entry.length);
        const std::uint8_t key[3] = {19, 41, 167};
        for (std::size_t j = 0; j < bytes.size(); ++j) bytes[j] ^= key[j % 3];
        return bytes;
    }();
    writeBytes(scratch / "run/sorvanel/ff00a5.tmp", good);
    ASSERT_EQ(unlink((scratch / "show/morrowen.q7v").c_str()), 0);
    EXPECT_EQ(startUp(), -1);
    EXPECT_EQ(slots[4].width, 512);
    EXPECT_EQ(tempFileCount(), 0);
}

TEST_F(PictureStartupTest, ArchiveCutInsideAnEntryFailsWhereItsPicturesAreMissing) {
    // Cut inside entry 4 (slot 8): entries 0 to 3 are written, and slot 0
    // (entry 7) is the first load to miss its file.
    const ArchiveEntry& cut = kArchiveEntries[4];
    shipArchive({archive.begin(), archive.begin() + cut.offset + cut.length - 1});
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(tempFileCount(), 4);
    EXPECT_FALSE(exists(scratch / "run/sorvanel/ff00a9.tmp"));
}

TEST_F(PictureStartupTest, JpegCutShortInsideItsEntryFails) {
    // Entry 7 (slot 0) holds only the first half of its picture, then zeros.
    std::vector<std::uint8_t> broken = archive;
    const ArchiveEntry& entry = kArchiveEntries[7];
    ASSERT_EQ(entry.slot, 0);
    const std::uint8_t key[3] = {19, 41, 167};
    for (std::size_t j = entry.length / 2; j < entry.length; ++j) {
        broken[entry.offset + j] = key[j % 3];  // scrambles to 0
    }
    shipArchive(broken);
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(slots[0].width, 2);
}

TEST_F(PictureStartupTest, PlantedLinkIsNotWrittenThrough) {
    shipArchive(archive);
    ASSERT_EQ(mkdir((scratch / "run/sorvanel").c_str(), 0700), 0);
    const std::vector<std::uint8_t> precious = {'m', 'i', 'n', 'e'};
    writeBytes(scratch / "precious", precious);
    ASSERT_EQ(
        symlink((scratch / "precious").c_str(), (scratch / "run/sorvanel/ff00a3.tmp").c_str()), 0);
    // The picture takes the link's name as a new file: all nine load.
    EXPECT_EQ(startUp(), -1);
    EXPECT_EQ(readBytes(scratch / "precious"), precious);
}

TEST_F(PictureStartupTest, NoDirectoryMeansNoFilesAnywhere) {
    shipArchive(archive);
    ScopedEnvironment unwritable("XDG_RUNTIME_DIR", "/proc");
    EXPECT_EQ(startUp(), 0);
    EXPECT_EQ(tempDirectory, "");
    for (int slot = 0; slot < kTextureSlotCount; ++slot) {
        EXPECT_FALSE(exists(scratch / "show/" + tempFileNameForSlot(slot)));
    }
}

TEST_F(PictureStartupTest, AStartKilledWhileHoldingTheFilesNeitherBlocksNorLingers) {
    shipArchive(archive);
    std::string why;
    const std::string directory = privateTempDirectory(why);
    ASSERT_FALSE(directory.empty()) << why;
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A start that dies between unpacking and deletion, lock in hand.
        const TempDirectoryLock lock(directory);
        unpackArchive(directory);
        const char byte = lock.held() ? 'y' : 'n';
        if (write(ready[1], &byte, 1) != 1) _exit(1);
        for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    EXPECT_EQ(byte, 'y');
    EXPECT_EQ(tempFileCount(), 9);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    // The next start gets the lock, unpacks afresh and leaves the folder empty.
    EXPECT_EQ(startUp(), -1);
    EXPECT_TRUE(fs::is_empty(scratch / "run/sorvanel"));
}

TEST_F(PictureStartupTest, TheLockIsExclusiveAndGoesWithItsHolder) {
    std::string why;
    const std::string directory = privateTempDirectory(why);
    ASSERT_FALSE(directory.empty()) << why;
    auto lockedElsewhere = [&] {
        const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const bool busy = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        close(fd);
        return busy;
    };
    {
        const TempDirectoryLock lock(directory);
        EXPECT_TRUE(lock.held());
        EXPECT_TRUE(lockedElsewhere());
    }
    EXPECT_FALSE(lockedElsewhere());
    EXPECT_TRUE(fs::is_empty(scratch / "run/sorvanel"));  // the lock is no file
}

// Another start that keeps the lock too long is waited for with a word after
// a second and given up on at the deadline, with the cause kept.
TEST_F(PictureStartupTest, WaitingForTheLockIsBoundedAndSaysWhatItWaitsFor) {
    std::string why;
    const std::string directory = privateTempDirectory(why);
    ASSERT_FALSE(directory.empty()) << why;
    const TempDirectoryLock holder(directory);
    ASSERT_TRUE(holder.held());
    clearFailureDetail();
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    const TempDirectoryLock waiter(directory, std::chrono::milliseconds(1500));
    const double waited =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(waiter.held());
    EXPECT_GE(waited, 1.5);
    EXPECT_NE(said.find("waiting for another start of the show to finish with its pictures in " +
                        directory),
              std::string::npos)
        << said;
    EXPECT_EQ(failureDetail(),
              "another start of the show held the private folder " + directory + " for 1.5 s");
    // A start that finds it held fails rather than loading beside the other.
    EXPECT_EQ(loadPicturesFromArchive(directory, slots), 0);
}

}  // namespace
