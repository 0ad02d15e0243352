// Archive unpacking: the entry table matches the archive shipped, each file
// is its entry XORed with the key (restarting at every entry), and short,
// missing or hostile surroundings never make it write what it should not.
#include "assets/archive.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>

#include "asset_test_support.h"

namespace {

using namespace assets_test;

constexpr std::uint8_t kKey[3] = {19, 41, 167};

std::size_t archiveLength() {
    const ArchiveEntry& last = kArchiveEntries[kArchiveEntryCount - 1];
    return last.offset + last.length;
}

// Every byte different from its neighbours, so that any shift shows.
std::vector<std::uint8_t> patternArchive(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

std::vector<std::uint8_t> expectedFile(const std::vector<std::uint8_t>& archive,
                                       const ArchiveEntry& entry) {
    std::vector<std::uint8_t> bytes(archive.begin() + entry.offset,
                                    archive.begin() + entry.offset + entry.length);
    for (std::size_t j = 0; j < bytes.size(); ++j) bytes[j] ^= kKey[j % 3];
    return bytes;
}

class ArchiveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(scratch.path().empty());
        ASSERT_EQ(mkdir(work.c_str(), 0700), 0);
        ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
    }
    std::vector<std::string> tempFiles() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(temp)) {
            names.push_back(item.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    ScratchDirectory scratch;
    std::string work = scratch / "work";
    std::string temp = scratch / "temp";
    std::string tempDirectory = temp + "/";
};

TEST(ArchiveEntryTable, FollowsTheArchiveOrderAndTheShippedArchive) {
    constexpr int kSlotOfEntry[kArchiveEntryCount] = {1, 2, 4, 5, 8, 6, 7, 0, 3};
    std::uint32_t offset = 0;
    for (int i = 0; i < kArchiveEntryCount; ++i) {
        const ArchiveEntry& entry = kArchiveEntries[i];
        EXPECT_EQ(entry.slot, kSlotOfEntry[i]) << "entry " << i;
        EXPECT_STREQ(entry.tempFileName, tempFileNameForSlot(entry.slot));
        EXPECT_EQ(entry.offset, offset) << "entries lie back to back";
        EXPECT_GT(entry.length, 0u);
        offset += entry.length;
    }
    EXPECT_STREQ(tempFileNameForSlot(0), "ff00a1.tmp");
    EXPECT_STREQ(tempFileNameForSlot(8), "ff00a9.tmp");
    // The haze the fades tint is the smallest picture.
    for (int i = 0; i < kArchiveEntryCount - 1; ++i) {
        EXPECT_LT(kArchiveEntries[8].length, kArchiveEntries[i].length);
    }
    // The archive built with this table is exactly the nine entries, each a JPEG.
    const std::vector<std::uint8_t> archive = readBytes(SORVANEL_TEST_ARCHIVE);
    ASSERT_EQ(archive.size(), archiveLength());
    for (const ArchiveEntry& entry : kArchiveEntries) {
        const std::vector<std::uint8_t> jpeg = expectedFile(archive, entry);
        EXPECT_EQ(jpeg[0], 0xFF);
        EXPECT_EQ(jpeg[1], 0xD8);
        EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
        EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);
    }
}

TEST_F(ArchiveTest, EachFileIsItsEntryXoredWithTheKey) {
    const std::vector<std::uint8_t> archive = patternArchive(archiveLength() + 100);
    writeBytes(work + "/morrowen.q7v", archive);
    ScopedWorkingDirectory cwd(work);
    unpackArchive(tempDirectory);
    unpackArchive(tempDirectory);  // a second run reads afresh and truncates
    for (const ArchiveEntry& entry : kArchiveEntries) {
        const std::string path = tempDirectory + entry.tempFileName;
        EXPECT_EQ(readBytes(path), expectedFile(archive, entry)) << entry.tempFileName;
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
    EXPECT_EQ(tempFiles().size(), 9u);
}

TEST_F(ArchiveTest, ALongerFileLeftBehindIsTruncated) {
    const std::vector<std::uint8_t> archive = patternArchive(archiveLength());
    writeBytes(work + "/morrowen.q7v", archive);
    const ArchiveEntry& entry = kArchiveEntries[3];
    writeBytes(tempDirectory + entry.tempFileName, std::vector<std::uint8_t>(entry.length * 2, 9));
    chmod((tempDirectory + entry.tempFileName).c_str(), 0644);
    ScopedWorkingDirectory cwd(work);
    unpackArchive(tempDirectory);
    EXPECT_EQ(readBytes(tempDirectory + entry.tempFileName), expectedFile(archive, entry));
    struct stat info {};
    ASSERT_EQ(stat((tempDirectory + entry.tempFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(ArchiveTest, MissingArchiveWritesNothing) {
    ScopedWorkingDirectory cwd(work);
    unpackArchive(tempDirectory);
    EXPECT_TRUE(tempFiles().empty());
    // A FIFO in its place is not waited on.
    ASSERT_EQ(mkfifo((work + "/morrowen.q7v").c_str(), 0600), 0);
    unpackArchive(tempDirectory);
    EXPECT_TRUE(tempFiles().empty());
}

TEST_F(ArchiveTest, ShortArchiveWritesOnlyTheWholeEntries) {
    const std::vector<std::uint8_t> archive = patternArchive(archiveLength());
    ScopedWorkingDirectory cwd(work);
    for (int cutEntry = 0; cutEntry < kArchiveEntryCount; ++cutEntry) {
        fs::remove_all(temp);
        ASSERT_EQ(mkdir(temp.c_str(), 0700), 0);
        const ArchiveEntry& cut = kArchiveEntries[cutEntry];
        const std::size_t length = cut.offset + cut.length / 2;
        writeBytes(work + "/morrowen.q7v", {archive.begin(), archive.begin() + length});
        unpackArchive(tempDirectory);
        for (int i = 0; i < kArchiveEntryCount; ++i) {
            const ArchiveEntry& entry = kArchiveEntries[i];
            const std::string path = tempDirectory + entry.tempFileName;
            if (i < cutEntry) {
                EXPECT_EQ(readBytes(path), expectedFile(archive, entry)) << "cut in " << cutEntry;
            } else {
                EXPECT_FALSE(exists(path)) << entry.tempFileName << ", cut in " << cutEntry;
            }
        }
    }
}

TEST_F(ArchiveTest, PlantedLinkIsReplacedNotFollowed) {
    const std::vector<std::uint8_t> archive = patternArchive(archiveLength());
    writeBytes(work + "/morrowen.q7v", archive);
    const std::vector<std::uint8_t> precious = {'k', 'e', 'e', 'p'};
    writeBytes(scratch / "precious", precious);
    const ArchiveEntry& linked = kArchiveEntries[0];
    ASSERT_EQ(
        symlink((scratch / "precious").c_str(), (tempDirectory + linked.tempFileName).c_str()), 0);
    ScopedWorkingDirectory cwd(work);
    unpackArchive(tempDirectory);
    EXPECT_EQ(readBytes(scratch / "precious"), precious);
    // The link's name now holds the entry's own new file.
    struct stat info {};
    ASSERT_EQ(lstat((tempDirectory + linked.tempFileName).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(readBytes(tempDirectory + linked.tempFileName), expectedFile(archive, linked));
    // The other entries are written as usual.
    EXPECT_EQ(readBytes(tempDirectory + kArchiveEntries[1].tempFileName),
              expectedFile(archive, kArchiveEntries[1]));
}

TEST_F(ArchiveTest, NothingIsWrittenWithoutADirectory) {
    writeBytes(work + "/morrowen.q7v", patternArchive(archiveLength()));
    ScopedWorkingDirectory cwd(work);
    unpackArchive(scratch / "missing/");
    EXPECT_FALSE(exists(scratch / "missing"));
    unpackArchive("");
    std::size_t filesInWork = 0;
    for (const auto& item : fs::directory_iterator(work)) {
        (void)item;
        ++filesInWork;
    }
    EXPECT_EQ(filesInWork, 1u) << "only the archive itself";
}

TEST_F(ArchiveTest, DeleteRemovesTheNineFilesOnly) {
    writeBytes(work + "/morrowen.q7v", patternArchive(archiveLength()));
    writeBytes(tempDirectory + "unrelated.tmp", {1});
    ScopedWorkingDirectory cwd(work);
    unpackArchive(tempDirectory);
    ASSERT_EQ(tempFiles().size(), 10u);
    deleteTempFiles(tempDirectory);
    EXPECT_EQ(tempFiles(), std::vector<std::string>{"unrelated.tmp"});
    deleteTempFiles(tempDirectory);  // nothing left to delete is no error
    deleteTempFiles("");
    EXPECT_EQ(tempFiles(), std::vector<std::string>{"unrelated.tmp"});
}

}  // namespace
