// Nothing runs that the user did not choose: talvenor, started as a shell
// starts it, never loads a module reached through a folder others may write
// to or through another user's link, and what it loads is the very file it
// checked, however fast the name is swapped. The test modules write a mark
// from their constructors (TEST_DMD_LOAD_MARK; the planted one also
// TEST_DMD_PLANTED_MARK), so a module whose code ran leaves a trace.
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "capture_support.h"

namespace {

using namespace capture_test;

constexpr uid_t kNobody = 65534;
const fs::perms kShared = fs::perms::all;  // rwx for all, not sticky
const fs::perms kPrivate = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;

class ModuleTrust : public ::testing::Test {
  protected:
    ScratchFolder folder{"sorvanel-trust"};
    fs::path runtime() const { return folder / "runtime"; }
    fs::path mark() const { return folder / "loaded"; }
    fs::path plantedMark() const { return folder / "planted"; }
    void SetUp() override {
        fs::create_directories(runtime());
        fs::permissions(folder.path(), kPrivate);
    }
    ProcessOptions marked() const {
        ProcessOptions o;
        o.environment = {{"TEST_DMD_LOAD_MARK", mark().string()},
                         {"TEST_DMD_PLANTED_MARK", plantedMark().string()}};
        return o;
    }
    // A copy of talvenor in its own folder, as an install would put it.
    fs::path launcherIn(const fs::path& bin) const {
        fs::create_directories(bin);
        fs::copy_file(TALVENOR_COPY_FROM, bin / "talvenor");
        fs::permissions(bin / "talvenor", kPrivate);
        return bin / "talvenor";
    }
    ProcessResult run(const fs::path& program, const std::vector<std::string>& args) const {
        ProcessOptions o = marked();
        o.workingDirectory = folder.path().string();
        o.environment.emplace_back("XDG_RUNTIME_DIR", runtime().string());
        return runProcess(program.string(), args, o);
    }
    static bool root() { return ::geteuid() == 0; }
};

// A module file that is a link into a world-writable folder without the
// sticky bit: anyone could have put his code there. Beside the launcher
// (a bare name) and named by path, it is refused and its code never runs;
// once the folder is private, the same link loads.
TEST_F(ModuleTrust, ALinkIntoAWorldWritableFolderIsNeverLoaded) {
    const fs::path open = folder / "open";
    fs::create_directories(open);
    fs::permissions(open, kShared);
    fs::copy_file(TEST_MODULE, open / "sorvanel.dmd");
    const fs::path launcher = launcherIn(folder / "bin");
    fs::create_symlink(open / "sorvanel.dmd", folder / "bin" / "sorvanel.dmd");
    const std::string says = ": refused: its folder " + open.string() +
                             " can be written by every user and is not sticky";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--list"},
          std::vector<std::string>{"--list", (folder / "bin" / "sorvanel.dmd").string()},
          std::vector<std::string>{"--shot", "1", (folder / "x.png").string()}}) {
        const ProcessResult r = run(launcher, args);
        EXPECT_EQ(r.exitCode, 1) << r.output;
        EXPECT_NE(r.output.find("DMD could not be loaded! ("), std::string::npos) << r.output;
        EXPECT_NE(r.output.find(says), std::string::npos) << r.output;
        EXPECT_FALSE(fs::exists(mark())) << "the module's code ran: " << args.back();
    }
    EXPECT_FALSE(fs::exists(folder / "x.png"));

    fs::permissions(open, kPrivate);
    const ProcessResult r = run(launcher, {"--list"});
    EXPECT_NE(r.output.find("does not describe its script"), std::string::npos) << r.output;
    EXPECT_TRUE(fs::exists(mark())) << "the check refused a safe module: " << r.output;
}

// The install's module folder (lib/sorvanel/ beside bin/): an installed
// sorvanel.dmd that is a link into a world-writable folder is refused too.
TEST_F(ModuleTrust, AnInstalledModuleLinkedIntoAWorldWritableFolderIsNeverLoaded) {
    const fs::path open = folder / "open";
    fs::create_directories(open);
    fs::permissions(open, kShared);
    fs::copy_file(TEST_MODULE, open / "sorvanel.dmd");
    const fs::path launcher = launcherIn(folder / "prefix" / "bin");
    const fs::path installed = folder / "prefix" / "bin" / MODULE_FROM_LAUNCHER;
    fs::create_directories(installed);
    fs::create_symlink(open / "sorvanel.dmd", installed / "sorvanel.dmd");
    const ProcessResult r = run(launcher, {"--list"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("sorvanel.dmd: refused: its folder " + open.string() +
                            " can be written by every user and is not sticky"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(mark()));
}

// The module's data beside it pass the same walk: a song that is a link
// into a world-writable folder is not read, and the message names it.
TEST_F(ModuleTrust, ADataFileLinkedIntoAWorldWritableFolderIsNotRead) {
    const fs::path show = folder / "show";
    fs::create_directories(show);
    const fs::path build = buildFolder();
    fs::copy_file(build / "sorvanel.dmd", show / "sorvanel.dmd");
    fs::copy_file(build / "morrowen.q7v", show / "morrowen.q7v");
    const fs::path open = folder / "open";
    fs::create_directories(open);
    fs::permissions(open, kShared);
    fs::copy_file(build / "Sorvanel.it", open / "Sorvanel.it");
    fs::create_symlink(open / "Sorvanel.it", show / "Sorvanel.it");
    const fs::path shot = folder / "x.png";
    ProcessResult r = run(TALVENOR_COPY_FROM, {"--shot", "1", shot.string(), "--size", "64x48",
                                               (show / "sorvanel.dmd").string()});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("Soundfile not found (" + (show / "Sorvanel.it").string() +
                            ": refused: its folder " + open.string() +
                            " can be written by every user and is not sticky)"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(shot));
    // The same song in a private folder plays.
    fs::permissions(open, kPrivate);
    r = run(TALVENOR_COPY_FROM,
            {"--shot", "1", shot.string(), "--size", "64x48", (show / "sorvanel.dmd").string()});
    EXPECT_EQ(r.exitCode, 0) << r.output;
}

// Another user's link, beside a launcher in a shared sticky folder and named
// by path in a private one: its owner may point it anywhere at any time, so
// it is not followed. Making another user's link needs root (CI's user).
TEST_F(ModuleTrust, AnotherUsersLinkIsNeverFollowed) {
    if (!root()) GTEST_SKIP() << "another user's link needs root to make";
    const fs::path safe = folder / "safe";
    fs::create_directories(safe);
    fs::copy_file(TEST_MODULE, safe / "sorvanel.dmd");
    const fs::path shared = folder / "shared";
    const fs::path launcher = launcherIn(shared);
    fs::permissions(shared, kShared | fs::perms::sticky_bit);
    const fs::path besideLink = shared / "sorvanel.dmd";
    fs::create_symlink(safe / "sorvanel.dmd", besideLink);
    ASSERT_EQ(::lchown(besideLink.c_str(), kNobody, kNobody), 0);
    ProcessResult r = run(launcher, {"--list"});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find(besideLink.string() + " belongs to another user (uid 65534)"),
              std::string::npos)
        << r.output;

    const fs::path privateLink = safe / "link.dmd";
    fs::create_symlink("sorvanel.dmd", privateLink);
    ASSERT_EQ(::lchown(privateLink.c_str(), kNobody, kNobody), 0);
    r = run(launcher, {"--list", privateLink.string()});
    EXPECT_EQ(r.exitCode, 1) << r.output;
    EXPECT_NE(r.output.find("refused: the symbolic link " + privateLink.string() +
                            " belongs to another user (uid 65534)"),
              std::string::npos)
        << r.output;
    EXPECT_FALSE(fs::exists(mark()));
}

// The check and the load are one open: while a loop swaps the module's name
// between a safe module and another user's planted one as fast as it can,
// the planted code never runs. (bench/module_swap_race.sh runs 200 tries.)
// In a world-writable folder every try is refused; in a sticky shared one
// the safe module loads and the planted one is refused.
TEST_F(ModuleTrust, SwappingTheFileWhileItLoadsNeverRunsThePlantedCode) {
    if (!root()) GTEST_SKIP() << "another user's module needs root to make";
    constexpr int kTries = 12;
    for (const bool sticky : {false, true}) {
        const fs::path swapped = folder / (sticky ? "sticky" : "open");
        fs::create_directories(swapped);
        fs::permissions(swapped, kShared | (sticky ? fs::perms::sticky_bit : fs::perms::none));
        fs::copy_file(TEST_MODULE, swapped / "good.dmd");
        fs::copy_file(PLANTED_MODULE, swapped / "evil.dmd");
        ASSERT_EQ(::chown((swapped / "evil.dmd").c_str(), kNobody, kNobody), 0);
        fs::copy_file(swapped / "good.dmd", swapped / "m.dmd");
        std::atomic<bool> stop{false};
        std::atomic<long> swaps{0};
        std::thread swapper([&] {
            const std::string good = (swapped / "good.dmd").string();
            const std::string evil = (swapped / "evil.dmd").string();
            const std::string next = (swapped / "next.dmd").string();
            const std::string name = (swapped / "m.dmd").string();
            while (!stop) {
                for (const std::string& from : {evil, good}) {
                    ::unlink(next.c_str());
                    if (::link(from.c_str(), next.c_str()) == 0 &&
                        ::rename(next.c_str(), name.c_str()) == 0) {
                        ++swaps;
                    }
                }
            }
        });
        int loaded = 0;
        for (int i = 0; i < kTries; ++i) {
            fs::remove(mark());
            const ProcessResult r =
                run(TALVENOR_COPY_FROM, {"--list", (swapped / "m.dmd").string()});
            EXPECT_EQ(r.exitCode, 1) << r.output;
            if (fs::exists(mark())) ++loaded;
        }
        stop = true;
        swapper.join();
        EXPECT_GT(swaps.load(), kTries);
        EXPECT_FALSE(fs::exists(plantedMark()))
            << (sticky ? "sticky" : "open") << ": " << fileBytes(plantedMark());
        if (!sticky) {
            EXPECT_EQ(loaded, 0);
        }
    }
}

}  // namespace
