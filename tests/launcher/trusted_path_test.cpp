// The trusted walk that every module and data file passes before it is
// opened: files, folders and links others could change are refused, naming
// which one and why; a shared sticky folder is fine for a name of ours.
// Cases about other users chown to nobody, so they need root (CI runs as
// root); elsewhere they are skipped.
#include "common/trusted_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

class TrustedPath : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("trusted-path-" + std::to_string(::getpid()));
        fs::create_directories(dir_ / "mods");
        fs::permissions(dir_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(dir_ / "mods", fs::perms::owner_all);
        module_ = dir_ / "mods" / "m.dmd";
        std::ofstream(module_) << "x";
        fs::permissions(module_, fs::perms::owner_read | fs::perms::owner_write);
    }
    void TearDown() override { fs::remove_all(dir_); }
    static std::string problem(const fs::path& p) {
        return trustedPathProblem(p.string(), "the module file");
    }
    static bool root() { return ::geteuid() == 0; }
    fs::path dir_;
    fs::path module_;
};

TEST_F(TrustedPath, AFileOnlyItsOwnerCanChangeIsOpenedAsChecked) {
    EXPECT_EQ(problem(module_), "");
    const TrustedOpen opened = openTrustedFile(module_.string(), "the module file");
    ASSERT_GE(opened.fd, 0) << opened.why;
    EXPECT_EQ(opened.resolved, module_.string());
    char byte = 0;
    EXPECT_EQ(::read(opened.fd, &byte, 1), 1);
    EXPECT_EQ(byte, 'x');
    ::close(opened.fd);
}

TEST_F(TrustedPath, AFileOrFolderOthersMayWriteIsRefusedNamingIt) {
    fs::permissions(module_, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(problem(module_),
              module_.string() + ": refused: the module file can be written by its group");
    fs::permissions(module_, fs::perms::group_write, fs::perm_options::remove);
    const fs::path folder = dir_ / "mods";
    fs::permissions(folder, fs::perms::others_all, fs::perm_options::add);
    EXPECT_EQ(problem(module_), module_.string() + ": refused: its folder " + folder.string() +
                                    " can be written by every user and is not sticky");
    EXPECT_LT(openTrustedFile(module_.string(), "the module file").fd, 0);
    // Sticky, like /tmp: others cannot replace a name of ours there.
    fs::permissions(folder, fs::perms::sticky_bit, fs::perm_options::add);
    EXPECT_EQ(problem(module_), "");
}

// A folder higher up counts as much as the file's own: anyone who may
// rename it may put another tree in its place.
TEST_F(TrustedPath, EveryFolderUpToTheRootIsChecked) {
    fs::permissions(dir_, fs::perms::group_write, fs::perm_options::add);
    EXPECT_EQ(problem(module_), module_.string() + ": refused: its folder " + dir_.string() +
                                    " can be written by its group and is not sticky");
    // Relative names are walked from the root too.
    const fs::path old = fs::current_path();
    fs::current_path(dir_ / "mods");
    EXPECT_NE(problem("m.dmd").find("its folder " + dir_.string() + " can be written"),
              std::string::npos);
    fs::current_path(old);
}

// A link into a folder others may write to is refused where the link
// points, and a link another user owns is refused itself.
TEST_F(TrustedPath, LinksAreFollowedAndCheckedOnTheWay) {
    const fs::path open = dir_ / "open";
    fs::create_directories(open);
    fs::permissions(open, fs::perms::all);
    fs::copy_file(module_, open / "m.dmd");
    fs::create_symlink(open / "m.dmd", dir_ / "mods" / "link.dmd");
    EXPECT_EQ(problem(dir_ / "mods" / "link.dmd"),
              (dir_ / "mods" / "link.dmd").string() + ": refused: its folder " + open.string() +
                  " can be written by every user and is not sticky");
    // A relative link to a safe file is fine, and resolves to it.
    fs::create_symlink("m.dmd", dir_ / "mods" / "good.dmd");
    const TrustedOpen opened = openTrustedFile((dir_ / "mods" / "good.dmd").string(), "x");
    EXPECT_EQ(opened.resolved, module_.string()) << opened.why;
    if (opened.fd >= 0) ::close(opened.fd);
    // A loop ends with the system's word for it.
    fs::create_symlink("loop.dmd", dir_ / "mods" / "loop.dmd");
    EXPECT_NE(problem(dir_ / "mods" / "loop.dmd").find("Too many levels of symbolic links"),
              std::string::npos);

    if (!root()) GTEST_SKIP() << "another user's link needs root to make";
    ASSERT_EQ(::lchown((dir_ / "mods" / "good.dmd").c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(problem(dir_ / "mods" / "good.dmd"),
              (dir_ / "mods" / "good.dmd").string() + ": refused: the symbolic link " +
                  (dir_ / "mods" / "good.dmd").string() + " belongs to another user (uid 65534)");
}

// In a sticky shared folder another user's name is refused: its owner could
// swap it at will.
TEST_F(TrustedPath, AnotherUsersNameInAStickyFolderIsRefused) {
    if (!root()) GTEST_SKIP() << "another user's file needs root to make";
    const fs::path shared = dir_ / "shared";
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    fs::copy_file(module_, shared / "m.dmd");
    EXPECT_EQ(problem(shared / "m.dmd"), "");
    ASSERT_EQ(::chown((shared / "m.dmd").c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(problem(shared / "m.dmd"), (shared / "m.dmd").string() +
                                             ": refused: " + (shared / "m.dmd").string() +
                                             " belongs to another user (uid 65534) and lies in " +
                                             shared.string() + ", which others may write to");
    // Outside a shared folder the owner alone decides.
    ASSERT_EQ(::chown(module_.c_str(), kNobody, kNobody), 0);
    EXPECT_EQ(problem(module_),
              module_.string() + ": refused: the module file belongs to another user (uid 65534)");
}

TEST_F(TrustedPath, WhatIsNotAFileIsRefused) {
    EXPECT_EQ(problem(dir_ / "mods"),
              (dir_ / "mods").string() + ": refused: the module file is a folder");
    EXPECT_NE(problem(dir_ / "mods" / "none.dmd").find("No such file or directory"),
              std::string::npos);
    EXPECT_NE(problem(module_ / "x").find("Not a directory"), std::string::npos);
}

}  // namespace
