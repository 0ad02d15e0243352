// Capture speed with each stage's share, as talvenor's own closing line
// reports it, at 640 x 480 and 1280 x 720 (H.264 and raw frames), and a
// stretch rendered as one capture against two halves captured side by side
// and joined as the README says (raw frames with cat, video with ffmpeg's
// concat and one song-only run).
//   capture_stages_bench [SECONDS [FOLDER]]   (default 4, the build folder)
// FOLDER holds talvenor, sorvanel.dmd and their data, e.g. an older build.
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path showFolder = SORVANEL_BENCH_BUILD_DIR;
fs::path scratch;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Runs a command line in the show's folder; its last line of output.
std::string run(const std::string& command, bool& ok) {
    const std::string line = "cd '" + showFolder.string() + "' && XDG_RUNTIME_DIR='" +
                             (scratch / "runtime").string() + "' " + command + " 2>&1";
    std::FILE* pipe = popen(line.c_str(), "r");
    std::string last;
    char buffer[4096];
    while (pipe != nullptr && std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        std::string text = buffer;
        // Progress lines end in carriage returns; keep what follows the last.
        const std::size_t cr = text.rfind('\r');
        if (cr != std::string::npos) text = text.substr(cr + 1);
        if (text.find_first_not_of(" \n") != std::string::npos) last = text;
    }
    ok = pipe != nullptr && pclose(pipe) == 0;
    while (!last.empty() && last.back() == '\n') last.pop_back();
    return last;
}

std::string capture(const std::string& file, double from, double to, const std::string& size) {
    char range[96];
    std::snprintf(range, sizeof range, " --from %.3f --to %.3f --size %s", from, to, size.c_str());
    return "./talvenor --capture '" + (scratch / file).string() + "'" + range;
}

// Wall seconds of the commands run side by side; false if one failed.
bool together(const std::vector<std::string>& commands, double& seconds) {
    const double start = now();
    std::vector<std::thread> threads;
    std::vector<int> ok(commands.size(), 0);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        threads.emplace_back([&, i] {
            bool good = false;
            run(commands[i], good);
            ok[i] = good ? 1 : 0;
        });
    }
    for (std::thread& t : threads) t.join();
    seconds = now() - start;
    for (int good : ok) {
        if (!good) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 4.0;
    if (argc > 2) showFolder = fs::absolute(argv[2]);
    scratch = fs::temp_directory_path() / ("capture-stages-" + std::to_string(getpid()));
    fs::create_directories(scratch / "runtime");
    fs::permissions(scratch / "runtime", fs::perms::owner_all);
    const double from = 60.0;  // text lines over figure A
    bool ok = false;
    run("./talvenor --shot 1 '" + (scratch / "warm.png").string() + "'", ok);

    std::printf("talvenor from %s, song %.0f to %.0f s at 60 fps\n\n", showFolder.c_str(), from,
                from + seconds);
    for (const char* size : {"640x480", "1280x720"}) {
        for (const char* file : {"stages.mp4", "stages.rgba"}) {
            const std::string summary = run(capture(file, from, from + seconds, size), ok);
            const std::size_t colon = summary.find("; ");
            std::printf(
                "%-8s %-5s %s\n", size, fs::path(file).extension().c_str() + 1,
                ok && colon != std::string::npos ? summary.substr(colon + 2).c_str() : "failed");
        }
    }

    const double middle = from + seconds / 2;
    const std::string size = "640x480";
    std::printf("\nOne capture against two halves side by side, joined (%s, %.0f s):\n",
                size.c_str(), seconds);
    double one = 0.0, two = 0.0, join = 0.0;
    for (const char* kind : {"rgba", "mkv"}) {
        const std::string ext = std::string(".") + kind;
        const bool okOne = together({capture("one" + ext, from, from + seconds, size)}, one);
        const bool okTwo = together({capture("half1" + ext, from, middle, size),
                                     capture("half2" + ext, middle, from + seconds, size)},
                                    two);
        const double joinStart = now();
        bool okJoin = false;
        char range[64];
        std::snprintf(range, sizeof range, " --from %.3f --to %.3f", from, from + seconds);
        const std::string s = scratch.string() + "/";
        if (ext == ".rgba") {
            run("cat '" + s + "half1.rgba' '" + s + "half2.rgba' > '" + s + "joined.rgba'", okJoin);
            run("./talvenor --capture '" + s + "joined.rgba.s16'" + range, okJoin);
        } else {
            std::ofstream(scratch / "parts.txt")
                << "file '" << s << "half1.mkv'\nfile '" << s << "half2.mkv'\n";
            run("ffmpeg -v error -y -nostdin -f concat -safe 0 -i '" + s +
                    "parts.txt' -map 0:v -c copy '" + s + "video.mkv'",
                okJoin);
            run("./talvenor --capture '" + s + "song.s16'" + range, okJoin);
            run("ffmpeg -v error -y -nostdin -i '" + s +
                    "video.mkv' -f s16le -ar 44100 -ac 2 -i '" + s +
                    "song.s16' -map 0:v -map 1:a -c:v copy -c:a flac '" + s + "joined.mkv'",
                okJoin);
        }
        join = now() - joinStart;
        if (!okOne || !okTwo || !okJoin) {
            std::printf("  %-5s failed\n", kind);
            continue;
        }
        std::printf("  %-5s 1 job %.2fx real time; 2 jobs %.2fx, joining %.2f s, %.2fx in all\n",
                    kind, seconds / one, seconds / two, join, seconds / (two + join));
    }
    fs::remove_all(scratch);
    return 0;
}
