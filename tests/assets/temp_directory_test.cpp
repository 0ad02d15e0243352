// The private temporary directory: which base it takes, that it is made with
// mode 0700, and that a planted link, a file or someone else's directory at
// its place, or a base that cannot be written, gives no directory at all.
#include "assets/temp_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "asset_test_support.h"

namespace {

using namespace assets_test;

mode_t modeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
}

class TempDirectoryTest : public ::testing::Test {
  protected:
    // The directory, with why it could not be had kept in why_.
    std::string privateTempDirectory() { return ::privateTempDirectory(why_); }
    std::string why_;

    ScratchDirectory scratch;
    ScopedEnvironment home{"HOME", (scratch / "home").c_str()};
    ScopedEnvironment cache{"XDG_CACHE_HOME", nullptr};
    ScopedEnvironment runtime{"XDG_RUNTIME_DIR", nullptr};
};

TEST_F(TempDirectoryTest, TakesTheRuntimeDirectoryFirst) {
    ASSERT_EQ(mkdir((scratch / "run").c_str(), 0700), 0);
    ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", (scratch / "run").c_str());
    ScopedEnvironment cacheSet("XDG_CACHE_HOME", (scratch / "cache").c_str());
    EXPECT_EQ(privateTempDirectory(), scratch / "run/sorvanel/");
    EXPECT_TRUE(S_ISDIR(modeOf(scratch / "run/sorvanel")));
    EXPECT_EQ(modeOf(scratch / "run/sorvanel") & 07777, 0700u);
    EXPECT_FALSE(exists(scratch / "cache"));
}

TEST_F(TempDirectoryTest, FallsBackToTheCacheDirectories) {
    {
        ScopedEnvironment cacheSet("XDG_CACHE_HOME", (scratch / "cache").c_str());
        EXPECT_EQ(privateTempDirectory(), scratch / "cache/sorvanel/");
    }
    ASSERT_EQ(mkdir((scratch / "home").c_str(), 0755), 0);
    EXPECT_EQ(privateTempDirectory(), scratch / "home/.cache/sorvanel/");
    EXPECT_EQ(modeOf(scratch / "home/.cache/sorvanel") & 07777, 0700u);
    // Relative values are not paths the XDG variables may hold.
    ScopedEnvironment relative("XDG_RUNTIME_DIR", "run");
    EXPECT_EQ(privateTempDirectory(), scratch / "home/.cache/sorvanel/");
}

TEST_F(TempDirectoryTest, TightensAnExistingDirectoryOfOurs) {
    ASSERT_EQ(mkdir((scratch / "run").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((scratch / "run/sorvanel").c_str(), 0755), 0);
    ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", (scratch / "run/").c_str());
    EXPECT_EQ(privateTempDirectory(), scratch / "run/sorvanel/");
    EXPECT_EQ(modeOf(scratch / "run/sorvanel") & 07777, 0700u);
}

TEST_F(TempDirectoryTest, RefusesALinkOrAFileAtItsPlace) {
    ASSERT_EQ(mkdir((scratch / "run").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((scratch / "elsewhere").c_str(), 0755), 0);
    ASSERT_EQ(symlink((scratch / "elsewhere").c_str(), (scratch / "run/sorvanel").c_str()), 0);
    ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", (scratch / "run").c_str());
    EXPECT_EQ(privateTempDirectory(), "");
    EXPECT_EQ(why_, "the private folder " + (scratch / "run/sorvanel") + " is a symbolic link");
    EXPECT_EQ(modeOf(scratch / "elsewhere") & 07777, 0755u);

    ASSERT_EQ(unlink((scratch / "run/sorvanel").c_str()), 0);
    writeBytes(scratch / "run/sorvanel", {1, 2, 3});
    EXPECT_EQ(privateTempDirectory(), "");
    EXPECT_EQ(why_,
              "the private folder " + (scratch / "run/sorvanel") + " is a file, not a folder");
}

TEST_F(TempDirectoryTest, RefusesADirectoryOfAnotherUser) {
    ASSERT_EQ(mkdir((scratch / "run").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((scratch / "run/sorvanel").c_str(), 0700), 0);
    if (chown((scratch / "run/sorvanel").c_str(), geteuid() + 1, getegid()) != 0) {
        GTEST_SKIP() << "cannot give a directory away without privileges";
    }
    ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", (scratch / "run").c_str());
    EXPECT_EQ(privateTempDirectory(), "");
    EXPECT_EQ(why_,
              "the private folder " + (scratch / "run/sorvanel") + " is owned by another user");
}

TEST_F(TempDirectoryTest, NoDirectoryWhenTheBaseIsMissingOrUnwritable) {
    {
        ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", (scratch / "gone").c_str());
        EXPECT_EQ(privateTempDirectory(), "");
        EXPECT_EQ(why_, "the private folder cannot be made: " + (scratch / "gone/sorvanel") +
                            ": No such file or directory");
        EXPECT_FALSE(exists(scratch / "gone"));
    }
    {
        // Not even root may make a directory in /proc.
        ScopedEnvironment runtimeSet("XDG_RUNTIME_DIR", "/proc");
        EXPECT_EQ(privateTempDirectory(), "");
        EXPECT_NE(why_.find("/proc/sorvanel"), std::string::npos) << why_;
    }
    writeBytes(scratch / "cache-file", {0});
    ScopedEnvironment cacheSet("XDG_CACHE_HOME", (scratch / "cache-file").c_str());
    EXPECT_EQ(privateTempDirectory(), "");
}

}  // namespace
