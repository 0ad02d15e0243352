// The module loader in-process, with the test modules: binding, failure
// texts, Done before release, and where a name is looked up.
#include "host/module_loader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/module_search.h"

namespace fs = std::filesystem;

namespace {

const std::string kModules = TEST_MODULE_DIR;

std::string readFile(const fs::path& p) {
    std::ifstream in(p);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ModuleLoader : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("loader-test-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        trace_ = dir_ / "trace.txt";
        ::setenv("SORVANEL_HOST_TRACE", trace_.c_str(), 1);
    }
    void TearDown() override {
        UnloadModule(binding_);
        ::unsetenv("SORVANEL_HOST_TRACE");
        fs::remove_all(dir_);
    }
    std::string trace() const { return readFile(trace_); }

    fs::path dir_;
    fs::path trace_;
    char buffer_[kMessageBufferSize] = {};
    ModuleBinding binding_;
};

TEST_F(ModuleLoader, BindsAllThreeEntryPoints) {
    ASSERT_TRUE(LoadModule(binding_, (kModules + "/test_full.dmd").c_str(), buffer_));
    EXPECT_NE(binding_.moduleHandle, nullptr);
    EXPECT_NE(binding_.renderScene, nullptr);
    EXPECT_NE(binding_.init, nullptr);
    EXPECT_NE(binding_.done, nullptr);
    EXPECT_EQ(buffer_[0], '\0');  // untouched on success
}

TEST_F(ModuleLoader, AcceptsAModuleWithOnlyRenderScene) {
    ASSERT_TRUE(LoadModule(binding_, (kModules + "/test_render_only.dmd").c_str(), buffer_));
    EXPECT_EQ(binding_.init, nullptr);
    EXPECT_EQ(binding_.done, nullptr);
    UnloadModule(binding_);
    EXPECT_EQ(binding_.moduleHandle, nullptr);
}

TEST_F(ModuleLoader, MissingFileAndNonLibraryFail) {
    EXPECT_FALSE(LoadModule(binding_, (dir_ / "nothing.dmd").c_str(), buffer_));
    EXPECT_STREQ(buffer_, "DMD could not be loaded!");
    EXPECT_EQ(binding_.moduleHandle, nullptr);

    std::ofstream(dir_ / "text.dmd") << "not a library";
    std::memset(buffer_, 0, sizeof buffer_);
    std::string detail = "left from before";
    EXPECT_FALSE(LoadModule(binding_, (dir_ / "text.dmd").c_str(), buffer_, &detail));
    EXPECT_STREQ(buffer_, "DMD could not be loaded!");
    EXPECT_NE(detail, "left from before");
    EXPECT_FALSE(detail.empty());
}

TEST_F(ModuleLoader, WithoutRenderSceneTheLibraryStaysUntilReleasedAndDoneStillRuns) {
    EXPECT_FALSE(LoadModule(binding_, (kModules + "/test_no_render.dmd").c_str(), buffer_));
    EXPECT_STREQ(buffer_, "DMD contains no rendering funktion!");
    EXPECT_NE(binding_.moduleHandle, nullptr);
    EXPECT_NE(binding_.done, nullptr);
    UnloadModule(binding_);
    EXPECT_EQ(trace(), "module done context=0\nmodule unloaded\n");
}

TEST_F(ModuleLoader, LoadingAgainCallsTheOldModulesDoneFirstEvenForTheSameFile) {
    const std::string path = kModules + "/test_full.dmd";
    ASSERT_TRUE(LoadModule(binding_, path.c_str(), buffer_));
    ASSERT_TRUE(LoadModule(binding_, path.c_str(), buffer_));
    // The old library was released (its statics destroyed) before the reload.
    EXPECT_EQ(trace(), "module done context=0\nmodule unloaded\n");
    UnloadModule(binding_);
    EXPECT_EQ(trace(),
              "module done context=0\nmodule unloaded\nmodule done context=0\nmodule "
              "unloaded\n");
}

TEST_F(ModuleLoader, UnloadOnAnEmptyBindingOnlyClears) {
    UnloadModule(binding_);
    UnloadModule(binding_);
    EXPECT_EQ(binding_.moduleHandle, nullptr);
    EXPECT_EQ(trace(), "");
}

// A bare name is looked up where nobody else can leave a file: beside the
// launcher, then in the installed module folder; a file of that name in the
// current folder is found only when named by path.
TEST_F(ModuleLoader, BareNamesAreFoundBesideTheLauncherNeverInTheCurrentFolder) {
    const fs::path cwd = dir_ / "cwd";
    const fs::path home = dir_ / "home";
    fs::create_directories(cwd);
    fs::create_directories(home);
    const fs::path old = fs::current_path();
    fs::current_path(cwd);
    std::ofstream(cwd / "demo.dmd") << "x";
    EXPECT_EQ(resolveModulePath("DEMO.DMD", home.string()), "");
    EXPECT_EQ(resolveModulePath("demo.dmd", home.string()), "");
    EXPECT_EQ(resolveModulePath("./DEMO.DMD", home.string()), "./demo.dmd");
    std::ofstream(home / "Demo.dmd") << "x";
    EXPECT_EQ(resolveModulePath("DEMO.DMD", home.string()), (home / "Demo.dmd").string());
    EXPECT_EQ(resolveModulePath("OTHER.DMD", home.string()), "");
    fs::current_path(old);
}

TEST_F(ModuleLoader, TheInstalledModuleFolderIsTheLastPlaceLooked) {
    const fs::path cwd = dir_ / "cwd";
    const fs::path bin = dir_ / "prefix" / "bin";
    fs::create_directories(cwd);
    fs::create_directories(bin);
    const std::string installed = installedModuleDirectory(bin.string());
    ASSERT_FALSE(installed.empty());
    fs::create_directories(installed);
    std::ofstream(fs::path(installed) / "sorvanel.dmd") << "x";
    const fs::path old = fs::current_path();
    fs::current_path(cwd);
    std::ofstream(cwd / "sorvanel.dmd") << "x";  // never looked at for a bare name
    const std::string found = resolveModulePath("SORVANEL.DMD", bin.string());
    EXPECT_EQ(fs::canonical(found), fs::canonical(fs::path(installed) / "sorvanel.dmd"));
    // Beside the launcher comes first.
    std::ofstream(bin / "Sorvanel.dmd") << "x";
    EXPECT_EQ(resolveModulePath("SORVANEL.DMD", bin.string()), (bin / "Sorvanel.dmd").string());
    // A path is taken as given, never from the install.
    EXPECT_EQ(resolveModulePath("sub/sorvanel.dmd", bin.string()), "");
    fs::current_path(old);
}

TEST_F(ModuleLoader, PathsAreMatchedIgnoringCaseComponentByComponent) {
    fs::create_directories(dir_ / "Sub" / "Dir");
    std::ofstream(dir_ / "Sub" / "Dir" / "my demo.dmd") << "x";
    std::string upper = (dir_ / "SUB" / "DIR" / "MY DEMO.DMD").string();
    EXPECT_EQ(resolveModulePath(upper, ""), (dir_ / "Sub" / "Dir" / "my demo.dmd").string());
    // A directory is not a module.
    EXPECT_EQ(resolveModulePath((dir_ / "SUB").string(), ""), "");
}

TEST_F(ModuleLoader, UpperCasedNameOfARealModuleLoads) {
    const fs::path old = fs::current_path();
    fs::current_path(kModules);
    EXPECT_TRUE(LoadModule(binding_, "./TEST_FULL.DMD", buffer_));
    fs::current_path(old);
}

}  // namespace
