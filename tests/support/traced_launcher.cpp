// talvenor as the tests build it: the launcher's whole run with an observer
// that writes the host's steps to the file named by SORVANEL_HOST_TRACE (one
// "host STEP" line each), and after each viewing action (seek, pause, resume,
// loop) the next drawn frame as a binary PPM named by SORVANEL_HOST_SNAPSHOT
// ("PREFIX-N.ppm", then a "host snapshot N song=MS" line). The shipped
// talvenor has no observer and reads neither variable.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/host_observer.h"
#include "host/show_host.h"
#include "launcher_run.h"

namespace {

bool startsWith(const std::string& text, const char* head) {
    return text.rfind(head, 0) == 0;
}

// Binary PPM, top row first, from GL's bottom-first RGBA rows; written
// beside its name first, so a test never reads half a picture.
void writePpm(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
              int height) {
    const std::string partial = path + ".partial";
    std::FILE* f = std::fopen(partial.c_str(), "wb");
    if (f == nullptr) return;
    std::fprintf(f, "P6\n%d %d\n255\n", width, height);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * 3);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint8_t* in = rgba.data() + static_cast<std::size_t>(y) * width * 4;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = in[x * 4];
            row[x * 3 + 1] = in[x * 4 + 1];
            row[x * 3 + 2] = in[x * 4 + 2];
        }
        std::fwrite(row.data(), 1, row.size(), f);
    }
    if (std::fclose(f) == 0) {
        std::rename(partial.c_str(), path.c_str());
    } else {
        std::remove(partial.c_str());
    }
}

class TraceObserver final : public HostObserver {
  public:
    TraceObserver(const char* tracePath, const char* snapshotPrefix)
        : tracePath_(tracePath != nullptr ? tracePath : ""),
          snapshotPrefix_(snapshotPrefix != nullptr ? snapshotPrefix : "") {}

    void step(const std::string& what) override {
        for (const char* action : {"seek ", "pause", "resume", "loop "}) {
            if (startsWith(what, action)) snapshotDue_ = true;
        }
        write("host " + what);
    }

    void frameDrawn(ShowHost& host) override {
        if (!snapshotDue_ || snapshotPrefix_.empty()) return;
        snapshotDue_ = false;
        std::vector<std::uint8_t> rgba;
        host.readPixels(PixelOrder::Rgba, rgba);
        ++snapshots_;
        writePpm(snapshotPrefix_ + "-" + std::to_string(snapshots_) + ".ppm", rgba,
                 host.state().clientWidth, host.state().clientHeight);
        const int songMs = host.exports().songTimeMs != nullptr ? host.exports().songTimeMs() : -1;
        write("host snapshot " + std::to_string(snapshots_) + " song=" + std::to_string(songMs));
    }

  private:
    // Opened and closed per line, so a test reading the file sees each line
    // as soon as it is written.
    void write(const std::string& line) const {
        if (tracePath_.empty()) return;
        if (std::FILE* f = std::fopen(tracePath_.c_str(), "a")) {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }

    std::string tracePath_;
    std::string snapshotPrefix_;
    bool snapshotDue_ = false;
    int snapshots_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    TraceObserver observer(std::getenv("SORVANEL_HOST_TRACE"),
                           std::getenv("SORVANEL_HOST_SNAPSHOT"));
    setHostObserver(&observer);
    return runLauncher(argc, argv);
}
