// The settings dialog on a high-resolution X screen: the real launcher under
// private Xvfb servers at 96 and at 192 dpi. At 192 dpi the dialog's window
// is twice as large each way and its screenshot carries about four times the
// dark (text and outline) pixels, as letters twice as tall do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "dialog/dialog_logic.h"
#include "process_runner.h"

// After GoogleTest: Xlib defines macros (None, Bool) that its headers use as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace fs = std::filesystem;

namespace {

// An Xvfb of its own at `dpi`, on the first free display from :150; ready
// once its socket answers.
class PrivateX {
  public:
    explicit PrivateX(int dpi) {
        int number = 150;
        while (number < 250 && (fs::exists("/tmp/.X" + std::to_string(number) + "-lock") ||
                                fs::exists("/tmp/.X11-unix/X" + std::to_string(number)))) {
            ++number;
        }
        const std::string name = ":" + std::to_string(number);
        pid_ = ::fork();
        if (pid_ == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, 1);
            ::dup2(null, 2);
            ::execlp("Xvfb", "Xvfb", name.c_str(), "-dpi", std::to_string(dpi).c_str(), "-screen",
                     "0", "1600x1200x24", "-nolisten", "tcp", nullptr);
            ::_exit(127);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Display* d = XOpenDisplay(name.c_str())) {
                XCloseDisplay(d);
                display_ = name;
                return;
            }
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling the server
        }
    }
    ~PrivateX() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

struct DialogShot {
    int width = 0;
    int height = 0;
    long darkPixels = 0;
    int found = 1;
};

// While the launcher runs: wait for the dialog, grab it, end the launcher.
void grabDialog(int pid, void* context) {
    auto* shot = static_cast<DialogShot*>(context);
    std::FILE* search = ::popen(
        "timeout 20 xdotool search --sync --onlyvisible --name '^Morrowen :: Talvenor$' "
        "2>/dev/null",
        "r");
    unsigned long window = 0;
    if (search != nullptr) {
        if (std::fscanf(search, "%lu", &window) != 1) window = 0;
        shot->found = ::pclose(search);
    }
    Display* x = XOpenDisplay(nullptr);
    if (window != 0 && x != nullptr) {
        // FLTK draws after mapping: wait until the window shows its text.
        for (int tries = 0; tries < 200 && shot->darkPixels == 0; ++tries) {
            XWindowAttributes a{};
            XGetWindowAttributes(x, window, &a);
            shot->width = a.width;
            shot->height = a.height;
            XImage* image = XGetImage(x, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
            long dark = 0;
            for (int y = 0; image != nullptr && y < a.height; ++y) {
                for (int px = 0; px < a.width; ++px) {
                    const unsigned long p = XGetPixel(image, px, y);
                    const int luma = (((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255)) / 3;
                    if (luma < 80) ++dark;
                }
            }
            if (image != nullptr) XDestroyImage(image);
            shot->darkPixels = dark;
            if (dark == 0) XSync(x, False);
        }
    }
    if (x != nullptr) XCloseDisplay(x);
    ::kill(pid, SIGTERM);
}

DialogShot shootDialogAt(int dpi) {
    PrivateX server(dpi);
    DialogShot shot;
    if (server.display().empty()) return shot;
    ProcessOptions options;
    options.environment = {{"DISPLAY", server.display()}};
    options.timeoutSeconds = 60;
    options.whileRunning = grabDialog;
    options.context = &shot;
    ::setenv("DISPLAY", server.display().c_str(), 1);  // for xdotool and the grab
    runProcess(TALVENOR_PATH, {"./test_full.dmd"}, options);
    return shot;
}

TEST(DialogFontSize, IsTheClassicTwelveUpTo120DpiAndScalesWithTheScreenFromThere) {
    EXPECT_EQ(dialogFontSizeForDpi(0), 12);
    EXPECT_EQ(dialogFontSizeForDpi(-5), 12);
    EXPECT_EQ(dialogFontSizeForDpi(96), 12);
    EXPECT_EQ(dialogFontSizeForDpi(119.9), 12);
    EXPECT_EQ(dialogFontSizeForDpi(120), 15);
    EXPECT_EQ(dialogFontSizeForDpi(144), 18);
    EXPECT_EQ(dialogFontSizeForDpi(192), 24);
}

TEST(DialogOnAHighResolutionScreen, IsTwiceAsLargeWithLettersTwiceAsTallAt192Dpi) {
    if (std::system("command -v Xvfb >/dev/null && command -v xdotool >/dev/null") != 0) {
        GTEST_SKIP() << "needs Xvfb and xdotool";
    }
    const char* oldDisplay = std::getenv("DISPLAY");
    const std::string saved = oldDisplay != nullptr ? oldDisplay : "";
    const DialogShot normal = shootDialogAt(96);
    const DialogShot high = shootDialogAt(192);
    if (saved.empty()) {
        ::unsetenv("DISPLAY");
    } else {
        ::setenv("DISPLAY", saved.c_str(), 1);
    }
    ASSERT_GT(normal.width, 0) << "no dialog at 96 dpi";
    ASSERT_GT(high.width, 0) << "no dialog at 192 dpi";
    EXPECT_NEAR(static_cast<double>(high.width) / normal.width, 2.0, 0.25)
        << normal.width << " -> " << high.width;
    EXPECT_NEAR(static_cast<double>(high.height) / normal.height, 2.0, 0.25)
        << normal.height << " -> " << high.height;
    ASSERT_GT(normal.darkPixels, 100);
    EXPECT_GT(static_cast<double>(high.darkPixels) / normal.darkPixels, 2.8)
        << normal.darkPixels << " -> " << high.darkPixels;
}

}  // namespace
