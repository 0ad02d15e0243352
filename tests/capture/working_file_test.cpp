// The working files and the encoder pipe on a real file system and real
// child processes: a planted name is passed over, never written through;
// the child gets the launcher's files at 3, 4, ... whatever numbers they had.
#include "capture/working_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "capture/ffmpeg_pipe.h"

namespace {

namespace fs = std::filesystem;

class WorkingFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("working-files-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    static std::string text(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    fs::path folder;
};

TEST_F(WorkingFiles, APlantedLinkOrFileIsPassedOverAndLeftAsItIs) {
    const std::string finalPath = (folder / "shot.png").string();
    const fs::path victim = folder / "victim";
    std::ofstream(victim) << "keep me";
    fs::create_symlink(victim, workingNameFor(finalPath, "shot", ::getpid(), 0));
    std::ofstream(workingNameFor(finalPath, "shot", ::getpid(), 1)) << "someone else's";

    WorkingFile file;
    std::string error;
    ASSERT_TRUE(file.create(finalPath, "shot", error)) << error;
    EXPECT_EQ(file.path(), workingNameFor(finalPath, "shot", ::getpid(), 2));
    ASSERT_EQ(::write(file.fd(), "new", 3), 3);
    ASSERT_TRUE(file.commit(finalPath, error)) << error;
    EXPECT_EQ(text(finalPath), "new");
    EXPECT_EQ(text(victim), "keep me");
    EXPECT_TRUE(fs::is_symlink(workingNameFor(finalPath, "shot", ::getpid(), 0)));
    EXPECT_EQ(text(workingNameFor(finalPath, "shot", ::getpid(), 1)), "someone else's");
}

TEST_F(WorkingFiles, DiscardedAndCrashedFilesLeaveNothing) {
    const std::string finalPath = (folder / "a.mp4").string();
    {
        WorkingFile file;
        std::string error;
        ASSERT_TRUE(file.create(finalPath, "video", error)) << error;
        EXPECT_TRUE(fs::exists(file.path()));
    }
    EXPECT_TRUE(fs::is_empty(folder));

    WorkingFile a;
    WorkingFile b;
    std::string error;
    ASSERT_TRUE(a.create(finalPath, "video", error) && b.create(finalPath, "song", error)) << error;
    removeAllWorkingFiles();  // what a crash handler does
    EXPECT_TRUE(fs::is_empty(folder));
}

// The child must see the files it was handed at 3 and 4 even when the
// launcher's own numbers for them are 4 and 3 (crossed), and its output is
// read back.
TEST_F(WorkingFiles, PassedDescriptorsArriveInPlaceEvenWhenTheirNumbersCross) {
    const fs::path first = folder / "first";
    const fs::path second = folder / "second";
    std::ofstream(first) << "FIRST";
    std::ofstream(second) << "SECOND";
    // Free 3 and 4, then open the two files so that first lands on 4.
    const int saved3 = ::fcntl(3, F_DUPFD_CLOEXEC, 200);
    const int saved4 = ::fcntl(4, F_DUPFD_CLOEXEC, 200);
    ::close(3);
    ::close(4);
    const int placeholder = ::open("/dev/null", O_RDONLY);  // takes 3
    const int a = ::open(first.c_str(), O_RDONLY);          // takes 4
    ::close(placeholder);
    const int b = ::open(second.c_str(), O_RDONLY);  // takes 3
    ASSERT_EQ(a, 4);
    ASSERT_EQ(b, 3);
    std::string error;
    std::string printed;
    const int status = runFfmpeg(
        {"sh", "-c", "cat /proc/self/fd/3; echo; cat /proc/self/fd/4; echo; echo said >&2"}, {a, b},
        nullptr, error, &printed);
    ::close(a);
    ::close(b);
    for (const auto& [saved, fd] : {std::pair{saved3, 3}, std::pair{saved4, 4}}) {
        if (saved < 0) continue;
        ::dup2(saved, fd);
        ::close(saved);
    }
    EXPECT_EQ(status, 0) << error;
    EXPECT_EQ(printed, "FIRST\nSECOND\nsaid\n");
    EXPECT_EQ(lastLineOf(printed), "said");
}

// A pair takes both final names or neither: when the second cannot be
// renamed, what stood at the first name is back, and no working file stays
// once they are discarded.
TEST_F(WorkingFiles, APairTakesBothNamesOrNeither) {
    const std::string frames = (folder / "a.rgba").string();
    const std::string song = (folder / "a.rgba.s16").string();
    std::ofstream(frames) << "old frames";
    auto write = [](WorkingFile& file, const char* text) {
        return ::write(file.fd(), text, std::strlen(text)) ==
               static_cast<ssize_t>(std::strlen(text));
    };
    WorkingFile first, second;
    std::string error;
    ASSERT_TRUE(first.create(frames, "frames", error)) << error;
    ASSERT_TRUE(second.create(frames, "song", error)) << error;
    ASSERT_TRUE(write(first, "new frames") && write(second, "new song"));
    // A folder full of files at the song's name: that rename must fail.
    fs::create_directories(song);
    std::ofstream(fs::path(song) / "inside") << "x";
    EXPECT_FALSE(commitPair(first, frames, second, song, error));
    EXPECT_NE(error.find(song + ": "), std::string::npos) << error;
    EXPECT_EQ(text(frames), "old frames");
    first.discard();
    second.discard();
    fs::remove_all(song);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder)) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"a.rgba"});

    ASSERT_TRUE(first.create(frames, "frames", error)) << error;
    ASSERT_TRUE(second.create(frames, "song", error)) << error;
    ASSERT_TRUE(write(first, "new frames") && write(second, "new song"));
    EXPECT_TRUE(commitPair(first, frames, second, song, error)) << error;
    EXPECT_EQ(text(frames), "new frames");
    EXPECT_EQ(text(song), "new song");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 2);
}

// A working file is removed from the folder it was made in, even after that
// folder was moved: its descriptor, not its old path, finds it.
TEST_F(WorkingFiles, AMovedFolderStillLosesItsWorkingFiles) {
    fs::create_directories(folder / "out");
    WorkingFile file;
    std::string error;
    ASSERT_TRUE(file.create((folder / "out" / "a.png").string(), "shot", error)) << error;
    fs::rename(folder / "out", folder / "moved");
    removeAllWorkingFiles();
    EXPECT_TRUE(fs::is_empty(folder / "moved"));
    file.discard();
}

}  // namespace
