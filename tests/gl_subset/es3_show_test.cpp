// The show built on the GL subset (an ES3 build of this source, named by
// SORVANEL_ES3_BUILD_DIR) against the desktop GL path of this build: shots at
// every golden instant within the golden tolerance of the desktop's shots;
// the letters left out, and the show going on, without a usable glyphs.bin;
// an installed copy that finds its GL library and letters; and the live
// window drawing on an OpenGL ES 3 context under X.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "capture_support.h"
#include "golden_cases.h"
#include "wait_for.h"
#include "x_window.h"

namespace {

using namespace capture_test;

const fs::path kEs3Build = ES3_BUILD_DIR;

// The ES3 build's talvenor, started from `talvenor` in the folder `where`.
ProcessResult runEs3(const fs::path& talvenor, const fs::path& where,
                     const std::vector<std::string>& args, const fs::path& runtimeDir,
                     ProcessOptions options = {}) {
    options.workingDirectory = where.string();
    options.environment.emplace_back("XDG_RUNTIME_DIR", runtimeDir.string());
    options.environment.emplace_back("SDL_AUDIODRIVER", "dummy");
    if (options.timeoutSeconds < 120) options.timeoutSeconds = 120;
    return runProcess(talvenor.string(), args, options);
}

ProcessResult es3Shot(const std::string& seconds, const fs::path& png, const fs::path& runtime,
                      const std::string& size = "320x240") {
    return runEs3(kEs3Build / "talvenor", kEs3Build,
                  {"--shot", seconds, png.string(), "--size", size}, runtime);
}

class Es3Shots : public ::testing::TestWithParam<GoldenCase> {
  protected:
    void SetUp() override { fs::create_directories(folder / "runtime"); }
    ScratchFolder folder{"sorvanel-es3-shots"};
};

TEST_P(Es3Shots, MatchTheDesktopPathWithinTheGoldenTolerance) {
    const GoldenCase& c = GetParam();
    std::vector<std::string> args = {"--shot", c.instant.seconds, "", "--size", c.size};
    if (c.widescreen) args.push_back("--widescreen");
    args[2] = (folder / "es3.png").string();
    const ProcessResult es3 = runEs3(kEs3Build / "talvenor", kEs3Build, args, folder / "runtime");
    ASSERT_EQ(es3.exitCode, 0) << es3.output;
    EXPECT_EQ(es3.output.find("sorvanel_gl:"), std::string::npos) << es3.output;
    EXPECT_EQ(es3.output.find("no letters"), std::string::npos) << es3.output;
    args[2] = (folder / "desktop.png").string();
    const ProcessResult desktop = runTalvenor(args, folder / "runtime");
    ASSERT_EQ(desktop.exitCode, 0) << desktop.output;

    const RgbPicture a = readPicture(folder / "desktop.png");
    const RgbPicture b = readPicture(folder / "es3.png");
    ASSERT_GT(a.width, 0);
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    const PictureDifference d = compare(a, b);
    // The figures go to the log: the worst instant is worth knowing.
    std::printf("ES3 against desktop GL, %s: mean difference %.4f %.4f %.4f, %.4f%% far off\n",
                referenceName(c).c_str(), d.mean[0], d.mean[1], d.mean[2], 100.0 * d.farOffShare);
    RecordProperty("farOffPercent", std::to_string(100.0 * d.farOffShare));
    EXPECT_TRUE(withinGoldenTolerance(d))
        << referenceName(c) << ": mean difference " << d.mean[0] << ", " << d.mean[1] << ", "
        << d.mean[2] << "; " << 100.0 * d.farOffShare << "% of pixels far off";
}

INSTANTIATE_TEST_SUITE_P(Script, Es3Shots, ::testing::ValuesIn(goldenCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                             return referenceName(info.param);
                         });

// Smooth edges through the subset: a multisampled framebuffer over ES 3, and
// a supersampled picture, each within the golden tolerance of the desktop
// path's with the same options, and unlike the plain picture.
TEST_F(Es3Shots, SmoothEdgesMatchTheDesktopPath) {
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--msaa", "4"},
          std::vector<std::string>{"--supersample", "2"}}) {
        std::vector<std::string> args = {"--shot", "14.25", "", "--size", "320x240"};
        args.insert(args.end(), options.begin(), options.end());
        args[2] = (folder / "es3.png").string();
        const ProcessResult es3 =
            runEs3(kEs3Build / "talvenor", kEs3Build, args, folder / "runtime");
        ASSERT_EQ(es3.exitCode, 0) << es3.output;
        args[2] = (folder / "desktop.png").string();
        ASSERT_EQ(runTalvenor(args, folder / "runtime").exitCode, 0);
        const PictureDifference d =
            compare(readPicture(folder / "desktop.png"), readPicture(folder / "es3.png"));
        EXPECT_TRUE(withinGoldenTolerance(d)) << options[0] << ": mean " << d.mean[0];
    }
    ASSERT_EQ(es3Shot("14.25", folder / "plain.png", folder / "runtime").exitCode, 0);
    EXPECT_FALSE(fileBytes(folder / "plain.png") == fileBytes(folder / "es3.png"));
}

class Es3Show : public ::testing::Test {
  protected:
    void SetUp() override { fs::create_directories(folder / "runtime"); }
    // The show's files in a folder of their own, without glyphs.bin.
    fs::path showWithoutGlyphs() {
        const fs::path show = folder / "show";
        fs::create_directories(show);
        for (const char* file :
             {"talvenor", "sorvanel.dmd", "libsorvanel_gl.so", "morrowen.q7v", "Sorvanel.it"}) {
            fs::copy_file(kEs3Build / file, show / file, fs::copy_options::overwrite_existing);
        }
        return show;
    }
    ScratchFolder folder{"sorvanel-es3-show"};
};

TEST_F(Es3Show, WithoutAUsableGlyphFileTheLettersAreLeftOutAndTheShowGoesOn) {
    ASSERT_EQ(es3Shot("16.5", folder / "title.png", folder / "runtime").exitCode, 0);
    const fs::path show = showWithoutGlyphs();
    const std::vector<std::string> args = {"--shot", "16.5", "", "--size", "320x240"};

    std::vector<std::string> missing = args;
    missing[2] = (folder / "missing.png").string();
    const ProcessResult a = runEs3(show / "talvenor", show, missing, folder / "runtime");
    ASSERT_EQ(a.exitCode, 0) << a.output;
    EXPECT_NE(a.output.find("no letters"), std::string::npos) << a.output;

    // The real file cut short.
    const std::string glyphs = fileBytes(kEs3Build / "glyphs.bin");
    ASSERT_GT(glyphs.size(), 100000u);
    std::ofstream(show / "glyphs.bin", std::ios::binary).write(glyphs.data(), 100000);
    std::vector<std::string> damaged = args;
    damaged[2] = (folder / "damaged.png").string();
    const ProcessResult b = runEs3(show / "talvenor", show, damaged, folder / "runtime");
    ASSERT_EQ(b.exitCode, 0) << b.output;
    EXPECT_NE(b.output.find("damaged"), std::string::npos) << b.output;

    // The same picture both ways, and the title word missing from it.
    EXPECT_EQ(fileBytes(folder / "missing.png"), fileBytes(folder / "damaged.png"));
    const PictureDifference d =
        compare(readPicture(folder / "title.png"), readPicture(folder / "missing.png"));
    EXPECT_GT(d.farOffShare, 0.01);
}

TEST_F(Es3Show, AnInstalledCopyFindsItsGlLibraryAndLettersFromAnyFolder) {
    const fs::path prefix = folder / "prefix";
    const ProcessResult install = runProcess(
        CMAKE_COMMAND, {"--install", kEs3Build.string(), "--prefix", prefix.string()}, {});
    ASSERT_EQ(install.exitCode, 0) << install.output;
    EXPECT_TRUE(fs::exists(prefix / "lib/sorvanel/libsorvanel_gl.so"));
    EXPECT_TRUE(fs::exists(prefix / "share/sorvanel/glyphs.bin"));

    ASSERT_EQ(es3Shot("16.5", folder / "built.png", folder / "runtime").exitCode, 0);
    const ProcessResult r =
        runEs3(prefix / "bin/talvenor", folder.path(),
               {"--shot", "16.5", (folder / "installed.png").string(), "--size", "320x240"},
               folder / "runtime");
    ASSERT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(r.output.find("no letters"), std::string::npos) << r.output;
    EXPECT_EQ(fileBytes(folder / "installed.png"), fileBytes(folder / "built.png"));
}

// Where the first window titled like `name` is on the screen, from xdotool.
bool windowRectangle(const std::string& name, int& x, int& y, int& w, int& h) {
    const std::string command =
        "timeout 10 xdotool search --name '" + name + "' getwindowgeometry 2>/dev/null";
    std::FILE* p = ::popen(command.c_str(), "r");
    if (p == nullptr) return false;
    x = y = w = h = -1;
    char line[256];
    while (std::fgets(line, sizeof line, p) != nullptr) {
        std::sscanf(line, " Position: %d,%d", &x, &y);
        std::sscanf(line, " Geometry: %dx%d", &w, &h);
    }
    ::pclose(p);
    return x >= 0 && y >= 0 && w > 0 && h > 0;
}

// The desktop GL, GLX, GLU and font libraries the desktop build's show uses.
bool mentionsDesktopGl(const std::string& text) {
    for (const char* library : {"libGL.so", "libGLX", "libGLU", "libOpenGL"}) {
        if (text.find(library) != std::string::npos) return true;
    }
    return false;
}

TEST_F(Es3Show, NeedsNoDesktopGlGluOrFontLibraries) {
    const ProcessResult launcher = runProcess("/usr/bin/ldd", {(kEs3Build / "talvenor").string()});
    ASSERT_EQ(launcher.exitCode, 0) << launcher.output;
    EXPECT_FALSE(mentionsDesktopGl(launcher.output)) << launcher.output;
    EXPECT_NE(launcher.output.find("libsorvanel_gl.so"), std::string::npos);
    const ProcessResult module =
        runProcess("/usr/bin/ldd", {(kEs3Build / "sorvanel.dmd").string()});
    ASSERT_EQ(module.exitCode, 0) << module.output;
    EXPECT_FALSE(mentionsDesktopGl(module.output)) << module.output;
    EXPECT_EQ(module.output.find("libfreetype"), std::string::npos) << module.output;
    EXPECT_EQ(module.output.find("libfontconfig"), std::string::npos) << module.output;
    // Both find the one subset beside them.
    EXPECT_NE(module.output.find("libsorvanel_gl.so => " + kEs3Build.string()), std::string::npos)
        << module.output;
}

struct LiveRun {
    fs::path grab;
    std::string maps;  // what the running launcher has mapped
    bool titled = false;
    bool grabbed = false;
    bool escaped = false;
};

TEST_F(Es3Show, TheLiveWindowDrawsTheShowOnAnEs3Context) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs an X display (Xvfb)";
    LiveRun run;
    run.grab = folder / "grab.png";
    ProcessOptions options;
    options.context = &run;
    options.whileRunning = [](int pid, void* context) {
        auto& r = *static_cast<LiveRun*>(context);
        const char* name = "Morrowen q7v Kessary";
        // The controls' title shows the song time once frames are drawn.
        r.titled =
            waitUntil([&] { return windowTitle(name).find(" - 0:3") != std::string::npos; }, 60.0);
        int x = 0, y = 0, w = 0, h = 0;
        if (r.titled && windowRectangle(name, x, y, w, h)) {
            const std::string display = std::getenv("DISPLAY");
            const std::string command =
                "timeout 30 ffmpeg -v error -nostdin -f x11grab -video_size " + std::to_string(w) +
                "x" + std::to_string(h) + " -i " + display + "+" + std::to_string(x) + "," +
                std::to_string(y) + " -frames:v 1 -y '" + r.grab.string() + "'";
            r.grabbed = std::system(command.c_str()) == 0;
            r.maps = fileBytes("/proc/" + std::to_string(pid) + "/maps");
        }
        r.escaped = waitUntil([&] { return sendKeyTo(name, "Escape"); }, 30.0);
    };
    const ProcessResult r =
        runEs3(kEs3Build / "talvenor", kEs3Build,
               {"--no-dialog", "--nosound", "--window", "320x240", "--start", "30", "--controls"},
               folder / "runtime", options);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(run.titled) << r.output;
    EXPECT_TRUE(run.escaped);
    EXPECT_EQ(r.output.find("sorvanel_gl:"), std::string::npos) << r.output;
    ASSERT_TRUE(run.grabbed);
    // SDL loaded OpenGL ES for the window (on X11 it also opens libGL to look
    // at GLX before it turns to EGL: the picture shows the context is EGL's,
    // the only kind the subset draws on). No GLU, no desktop GL dispatch.
    EXPECT_NE(run.maps.find("libGLESv2"), std::string::npos);
    EXPECT_EQ(run.maps.find("libGLU"), std::string::npos);
    EXPECT_EQ(run.maps.find("libOpenGL"), std::string::npos);
    // Figure A fills the window.
    const RgbPicture grab = readPicture(run.grab);
    ASSERT_EQ(grab.width, 320);
    EXPECT_GT(nonBlackPixels(grab, 0, 0, grab.width, grab.height), grab.width * grab.height / 2);
}

}  // namespace
