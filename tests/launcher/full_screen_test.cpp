// Full screen on X servers that cannot switch modes and run no window
// manager (a private Xvfb per case, at screen sizes of its own): the window
// covers the screen, the module draws into the picture's rectangle and
// nowhere else (a root-window screenshot: picture in the module's colour,
// bars black), and SIGTERM ends the show with the display mode restored.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/picture_frame.h"
#include "process_runner.h"
#include "wait_for.h"

// Last: the X headers define macros (None, Bool) that clash with GoogleTest's.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace {

const std::string kTalvenor = TALVENOR_PATH;
const std::string kModules = TEST_MODULE_DIR;

// An Xvfb of its own. The display number is chosen away from the low ones
// other servers take, and the server is used only once a client of this
// process could connect to it: another server of that number elsewhere on
// the machine (its abstract socket) would answer instead.
class PrivateXServer {
  public:
    PrivateXServer(int width, int height) {
        for (int attempt = 0; attempt < 12 && display_.empty(); ++attempt) {
            const int number = 300 + (static_cast<int>(::getpid()) * 7 + attempt * 53) % 600;
            if (start(number, width, height) && reachable()) {
                display_ = ":" + std::to_string(number);
            } else {
                stop();
            }
        }
    }
    ~PrivateXServer() { stop(); }
    const std::string& display() const { return display_; }

  private:
    // True once the server says it is ready (it writes its number to fd).
    bool start(int number, int width, int height) {
        int fds[2];
        if (::pipe(fds) != 0) return false;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            const std::string display = ":" + std::to_string(number);
            const std::string fd = std::to_string(fds[1]);
            const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
            std::freopen("/dev/null", "w", stderr);
            ::execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
                     screen.c_str(), "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        char text[16] = {};
        const ssize_t n = pid_ > 0 ? ::read(fds[0], text, sizeof text - 1) : -1;
        ::close(fds[0]);
        candidate_ = ":" + std::to_string(number);
        return n > 0;
    }
    bool reachable() const {
        Display* d = XOpenDisplay(candidate_.c_str());
        if (d == nullptr) return false;
        const bool ours = DisplayWidth(d, 0) > 0;
        XCloseDisplay(d);
        return ours;
    }
    void stop() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    std::string candidate_;
    std::string display_;
};

std::vector<std::string> readLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// The root window as rows of 0xRRGGBB, top row first.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;
    unsigned long at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Screenshot grabRoot(const std::string& display) {
    Screenshot shot;
    Display* d = XOpenDisplay(display.c_str());
    if (d == nullptr) return shot;
    const Window root = DefaultRootWindow(d);
    XWindowAttributes a;
    XGetWindowAttributes(d, root, &a);
    XImage* image = XGetImage(d, root, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (image != nullptr) {
        shot.width = a.width;
        shot.height = a.height;
        shot.pixels.resize(static_cast<std::size_t>(a.width) * a.height);
        for (int y = 0; y < a.height; ++y) {
            for (int x = 0; x < a.width; ++x) {
                shot.pixels[static_cast<std::size_t>(y) * a.width + x] =
                    XGetPixel(image, x, y) & 0xFFFFFF;
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(d);
    return shot;
}

struct Watch {
    fs::path trace;
    std::string display;
    Screenshot shot;
};

bool hasLine(const fs::path& trace, const std::string& prefix) {
    for (const std::string& line : readLines(trace)) {
        if (line.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

// Once the show has drawn a few frames full screen: a screenshot, then
// SIGTERM, as a desktop session's logout sends it.
void screenshotThenTerminate(int pid, void* context) {
    Watch& watch = *static_cast<Watch*>(context);
    waitUntil([&] { return hasLine(watch.trace, "module frame 10 "); }, 60);
    watch.shot = grabRoot(watch.display);
    ::kill(pid, SIGTERM);
}

// The module's colour (0.2, 0.4, 0.6) as the 8-bit visual stores it.
bool isPictureColour(unsigned long rgb) {
    const int r = (rgb >> 16) & 0xFF;
    const int g = (rgb >> 8) & 0xFF;
    const int b = rgb & 0xFF;
    return std::abs(r - 51) <= 1 && std::abs(g - 102) <= 1 && std::abs(b - 153) <= 1;
}

struct Case {
    const char* name;
    int screenWidth;
    int screenHeight;
    std::vector<std::string> args;  // before the module name
    const char* module;
    PictureShape shape;
};

// Test names and messages name the case, not its bytes.
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class FullScreen : public ::testing::TestWithParam<Case> {};

TEST_P(FullScreen, ThePictureCoversItsAreaTheBarsAreBlackAndSigtermRestoresTheMode) {
    const Case& c = GetParam();
    PrivateXServer server(c.screenWidth, c.screenHeight);
    if (server.display().empty()) GTEST_SKIP() << "Xvfb could not be started";
    const fs::path dir =
        fs::temp_directory_path() / ("full-screen-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    Watch watch{dir / "trace.txt", server.display(), {}};

    std::vector<std::string> args = c.args;
    args.insert(args.begin(), {"--fullscreen", "--no-dialog", "--nosound"});
    args.push_back(c.module);
    ProcessOptions options;
    // No silent fallback to another video driver: this is about X11.
    options.environment = {{"DISPLAY", server.display()},
                           {"SDL_VIDEODRIVER", "x11"},
                           {"SORVANEL_HOST_TRACE", watch.trace.string()},
                           {"TEST_DMD_LOG_EVERY_FRAME", "1"}};
    options.workingDirectory = kModules;
    options.timeoutSeconds = 40;
    options.whileRunning = screenshotThenTerminate;
    options.context = &watch;
    const ProcessResult r = runProcess(kTalvenor, args, options);
    const std::vector<std::string> trace = readLines(watch.trace);
    fs::remove_all(dir);

    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.output;
    const PictureRect expected = pictureRectFor(c.screenWidth, c.screenHeight, c.shape);
    // What the host last placed, and the viewport every later frame saw.
    std::string lastPicture;
    std::string lastFrame;
    bool restored = false;
    for (const std::string& line : trace) {
        if (line.rfind("host picture ", 0) == 0) lastPicture = line;
        if (line.rfind("module frame ", 0) == 0) lastFrame = line;
        if (line == "host display-mode-restored") restored = true;
    }
    char wanted[160];
    std::snprintf(wanted, sizeof wanted, "host picture drawable=%d,%d at=%d,%d size=%d,%d",
                  c.screenWidth, c.screenHeight, expected.x, expected.y, expected.width,
                  expected.height);
    std::string traceText;
    for (const std::string& line : trace) traceText += line + "\n";
    EXPECT_EQ(lastPicture, wanted) << server.display() << ": " << r.output << traceText;
    std::snprintf(wanted, sizeof wanted, "viewport=%d,%d at=%d,%d", expected.width, expected.height,
                  expected.x, expected.y);
    EXPECT_NE(lastFrame.find(wanted), std::string::npos) << lastFrame;
    EXPECT_TRUE(restored);
    if (c.shape == PictureShape::Widescreen) {
        EXPECT_NE(lastFrame.find("frustum=-6.66667,6.66667,-3.75,3.75,1,255"), std::string::npos)
            << lastFrame;
    } else {
        EXPECT_NE(lastFrame.find("frustum=-5,5,-3.75,3.75,1,255"), std::string::npos) << lastFrame;
    }

    const Screenshot& shot = watch.shot;
    ASSERT_EQ(shot.width, c.screenWidth);
    ASSERT_EQ(shot.height, c.screenHeight);
    // GL's rectangle from the bottom, the screenshot's rows from the top.
    const int top = c.screenHeight - expected.y - expected.height;
    long wrongInPicture = 0;
    long wrongInBars = 0;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const bool inside = x >= expected.x && x < expected.x + expected.width && y >= top &&
                                y < top + expected.height;
            const unsigned long p = shot.at(x, y);
            if (inside && !isPictureColour(p)) ++wrongInPicture;
            if (!inside && p != 0) ++wrongInBars;
        }
    }
    EXPECT_EQ(wrongInPicture, 0);
    EXPECT_EQ(wrongInBars, 0);
}

INSTANTIATE_TEST_SUITE_P(NoWindowManager, FullScreen,
                         ::testing::Values(Case{"Pillarbox640x480On1920x1080",
                                                1920,
                                                1080,
                                                {"--window", "640x480"},
                                                "./test_full.dmd",
                                                PictureShape::Composed},
                                           Case{"Pillarbox800x600On1920x1080",
                                                1920,
                                                1080,
                                                {"--window", "800x600"},
                                                "./test_full.dmd",
                                                PictureShape::Composed},
                                           Case{"Letterbox640x480On1280x1024",
                                                1280,
                                                1024,
                                                {"--window", "640x480"},
                                                "./test_full.dmd",
                                                PictureShape::Composed},
                                           Case{"DesktopOn1920x1080",
                                                1920,
                                                1080,
                                                {"--window", "desktop"},
                                                "./test_full.dmd",
                                                PictureShape::Composed},
                                           Case{"DesktopWidescreenOn1920x1080",
                                                1920,
                                                1080,
                                                {"--window", "desktop", "--widescreen"},
                                                "./test_wide.dmd",
                                                PictureShape::Widescreen},
                                           // A module that does not follow the frustum stays 4:3.
                                           Case{"WidescreenRefusedByAModuleOn1920x1080",
                                                1920,
                                                1080,
                                                {"--window", "1280x720", "--widescreen"},
                                                "./test_full.dmd",
                                                PictureShape::Composed}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
