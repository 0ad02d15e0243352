// Smooth edges by measurement. At several instants a reference picture
// stands for the true one: a plain shot at eight times the width and height,
// reduced in linear light. Against it: the plain shot, --msaa 4,
// --supersample 2 and --supersample 4 at 640 x 480, each as the mean
// absolute difference per channel and the share of edge pixels (an edge
// within a pixel in the reference) off by more than 32. Then what each costs:
// frames per second of a 640 x 480 raw capture (no encoder), and the peak
// memory of a 3840 x 2160 shot with --supersample 2. A plain program: it runs
// talvenor as the user would and prints.
//   smooth_edges_bench [CAPTURE-SECONDS]   (default 2)
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "capture/linear_light.h"
#include "talvenor_run.h"

namespace fs = std::filesystem;

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

Picture readPng(const fs::path& path) {
    Picture picture;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return picture;
    image.format = PNG_FORMAT_RGBA;
    picture.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr) == 0) return {};
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    return picture;
}

int at(const Picture& p, int x, int y, int c) {
    return p.rgba[(static_cast<std::size_t>(y) * p.width + x) * 4 + c];
}

bool nearAnEdge(const Picture& p, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int nx = x + dx;
            const int ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= p.width || ny >= p.height) continue;
            for (int c = 0; c < 3; ++c) {
                if (std::abs(at(p, x, y, c) - at(p, nx, ny, c)) > 32) return true;
            }
        }
    }
    return false;
}

struct Difference {
    double mean[3] = {0, 0, 0};
    double edgesOff = 0.0;  // share of edge pixels with a channel more than 32 off
};

Difference against(const Picture& reference, const Picture& p) {
    Difference d;
    long edges = 0;
    long edgesOff = 0;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                const int delta = std::abs(at(reference, x, y, c) - at(p, x, y, c));
                d.mean[c] += delta;
                worst = std::max(worst, delta);
            }
            if (nearAnEdge(reference, x, y)) {
                ++edges;
                if (worst > 32) ++edgesOff;
            }
        }
    }
    for (double& m : d.mean) m /= static_cast<double>(p.width) * p.height;
    d.edgesOff = edges > 0 ? static_cast<double>(edgesOff) / edges : 0.0;
    return d;
}

struct Mode {
    const char* name;
    std::vector<std::string> options;
};

}  // namespace

int main(int argc, char** argv) {
    const double captureSeconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    const fs::path folder =
        fs::temp_directory_path() / ("smooth-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "runtime");
    const std::vector<Mode> modes = {{"plain", {}},
                                     {"--msaa 4", {"--msaa", "4"}},
                                     {"--supersample 2", {"--supersample", "2"}},
                                     {"--supersample 4", {"--supersample", "4"}}};
    const char* instants[] = {"14.25", "30", "60", "135", "250"};
    constexpr int kReferenceFactor = 8;

    std::printf("difference to the reference (8x8 plain, reduced in linear light), 640x480\n");
    std::printf("%-8s %-16s %8s %8s %8s %12s\n", "instant", "mode", "mean R", "mean G", "mean B",
                "edges > 32");
    std::vector<double> modeMeans(modes.size(), 0.0);
    for (const char* instant : instants) {
        const fs::path big = folder / "reference.png";
        if (!runTalvenor({"--shot", instant, big.string(), "--size",
                          std::to_string(640 * kReferenceFactor) + "x" +
                              std::to_string(480 * kReferenceFactor)},
                         folder / "runtime")
                 .ok) {
            std::printf("%s: the reference shot failed\n", instant);
            continue;
        }
        const Picture large = readPng(big);
        Picture reference;
        reference.width = large.width / kReferenceFactor;
        reference.height = large.height / kReferenceFactor;
        reduceInLinearLight(large.rgba, large.width, large.height, kReferenceFactor,
                            reference.rgba);
        for (std::size_t m = 0; m < modes.size(); ++m) {
            const fs::path shot = folder / "shot.png";
            std::vector<std::string> args = {"--shot", instant, shot.string(), "--size", "640x480"};
            args.insert(args.end(), modes[m].options.begin(), modes[m].options.end());
            if (!runTalvenor(args, folder / "runtime").ok) {
                std::printf("%-8s %-16s failed\n", instant, modes[m].name);
                continue;
            }
            const Difference d = against(reference, readPng(shot));
            modeMeans[m] += (d.mean[0] + d.mean[1] + d.mean[2]) / 3.0;
            std::printf("%-8s %-16s %8.3f %8.3f %8.3f %11.2f%%\n", instant, modes[m].name,
                        d.mean[0], d.mean[1], d.mean[2], 100.0 * d.edgesOff);
        }
    }
    std::printf("\nover all instants, the mean of the three channels:\n");
    for (std::size_t m = 0; m < modes.size(); ++m) {
        const double mean = modeMeans[m] / (sizeof instants / sizeof instants[0]);
        std::printf("  %-16s %7.3f  (%.2f of the plain shot's)\n", modes[m].name, mean,
                    modeMeans[0] > 0 ? modeMeans[m] / modeMeans[0] : 0.0);
    }

    std::printf("\ncost on this machine: a %.1f s raw capture at 640x480, 60 fps, from 14 s\n",
                captureSeconds);
    for (const Mode& mode : modes) {
        std::vector<std::string> args = {
            "--capture", (folder / "c.rgba").string(),        "--from", "14",
            "--to",      std::to_string(14 + captureSeconds), "--size", "640x480"};
        args.insert(args.end(), mode.options.begin(), mode.options.end());
        const RunFigures f = runTalvenor(args, folder / "runtime");
        std::printf("  %-16s %s %6.1f frames per second, peak memory %6.0f MB\n", mode.name,
                    f.ok ? "  " : "!!", captureSeconds * 60 / f.wallSeconds,
                    f.peakKilobytes / 1024.0);
        fs::remove(folder / "c.rgba");
        fs::remove(folder / "c.rgba.s16");
    }
    const RunFigures uhd = runTalvenor({"--shot", "30", (folder / "uhd.png").string(), "--size",
                                        "3840x2160", "--supersample", "2"},
                                       folder / "runtime");
    const RunFigures uhdPlain = runTalvenor(
        {"--shot", "30", (folder / "uhd.png").string(), "--size", "3840x2160"}, folder / "runtime");
    std::printf(
        "\na 3840x2160 shot: peak memory %.0f MB with --supersample 2 (%.1f s), %.0f MB "
        "plain (%.1f s)%s\n",
        uhd.peakKilobytes / 1024.0, uhd.wallSeconds, uhdPlain.peakKilobytes / 1024.0,
        uhdPlain.wallSeconds, uhd.ok && uhdPlain.ok ? "" : "  (a run failed)");
    fs::remove_all(folder);
    return 0;
}
