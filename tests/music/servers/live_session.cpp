// Runs the show and the load as child processes (output to a file, so a
// full pipe never holds the show up), records meanwhile, and waits on the
// recording itself: the show is ended once the sink has carried the stretch.
#include "live_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "sink_recorder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRate = 44100;
using Steady = std::chrono::steady_clock;

pid_t spawn(const std::string& program, const std::vector<std::string>& args,
            const std::vector<std::pair<std::string, std::string>>& environment,
            const std::string& workingDirectory, const std::string& outputPath) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    // A test killed half-way (a ctest timeout) takes the load and the show
    // with it, rather than leaving them busy for the rest of the run.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int out = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
    }
    if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execvp(program.c_str(), argv.data());
    ::_exit(127);
}

// True when `pid` has exited (reaped), false when it still runs at the deadline.
bool waitExit(pid_t pid, Steady::time_point deadline, int* status = nullptr) {
    for (;;) {
        int s = 0;
        if (::waitpid(pid, &s, WNOHANG) == pid) {
            if (status != nullptr) *status = s;
            return true;
        }
        if (Steady::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // polling the child
    }
}

void endChild(pid_t pid, double graceSeconds) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (!waitExit(pid, Steady::now() +
                           std::chrono::milliseconds(static_cast<int>(graceSeconds * 1000)))) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::int16_t> readS16(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                               (static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8));
    }
    return samples;
}

std::string scratchFolder() {
    char pattern[] = "/tmp/sorvanel-live-XXXXXX";
    return ::mkdtemp(pattern) != nullptr ? std::string(pattern) : std::string();
}

}  // namespace

LiveRun runLive(const LiveOptions& o) {
    LiveRun run;
    const std::string folder = scratchFolder();
    if (folder.empty()) {
        run.error = "no scratch folder";
        return run;
    }
    SinkRecorder recorder;
    if (!recorder.start(o.server, o.monitor, run.error)) return run;
    const auto deadline =
        Steady::now() + std::chrono::milliseconds(static_cast<int>(o.deadlineSeconds * 1000));
    pid_t load = -1;
    if (o.loaded) {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        const int seconds = static_cast<int>(o.deadlineSeconds) + 30;
        load =
            spawn("stress-ng",
                  {"--cpu", std::to_string(cores), "--timeout", std::to_string(seconds), "--quiet"},
                  {}, "", folder + "/load.txt");
    }
    std::vector<std::pair<std::string, std::string>> environment = o.environment;
    environment.emplace_back("PULSE_SERVER", o.server);
    // The suite's default is dummy; a run may ask for another (pipewire).
    const bool driverChosen =
        std::any_of(environment.begin(), environment.end(),
                    [](const auto& e) { return e.first == "SDL_AUDIODRIVER"; });
    if (!driverChosen) environment.emplace_back("SDL_AUDIODRIVER", "pulseaudio");
    // A cold shader cache: llvmpipe compiles on first use, as on a first start.
    environment.emplace_back("MESA_SHADER_CACHE_DIR", folder + "/shader-cache");
    environment.emplace_back("XDG_RUNTIME_DIR", folder);
    const std::string outputPath = folder + "/show.txt";
    const pid_t show = spawn(o.program, o.args, environment, o.workingDirectory, outputPath);
    const std::int64_t wanted = static_cast<std::int64_t>(o.seconds) * kRate;
    bool exited = false;
    int status = 0;
    while (recorder.framesSinceSound() < wanted) {
        if (waitExit(show, Steady::now(), &status)) {
            exited = true;
            break;
        }
        if (Steady::now() > deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling the recording
    }
    const bool enough = recorder.framesSinceSound() >= wanted;
    if (!exited) {
        ::kill(show, SIGTERM);  // ends like Esc: the song fades out
        if (!waitExit(show, Steady::now() + std::chrono::seconds(30), &status)) {
            ::kill(show, SIGKILL);
            ::waitpid(show, &status, 0);
        }
    }
    endChild(load, 10.0);
    recorder.stop();
    run.recording = recorder.samples();
    run.recordingHoles = recorder.holes();
    run.timed = recorder.playingFrameAt(0, run.recordingOrigin);
    run.output = readText(outputPath);
    std::istringstream lines(run.output);
    for (std::string line; std::getline(lines, line);) {
        SwapLine s;
        long long at = 0;
        if (std::sscanf(line.c_str(), "host swap song=%d at=%lld", &s.songMs, &at) == 2) {
            s.atNs = at;
            run.swaps.push_back(s);
        }
    }
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    if (!enough) {
        run.error = exited ? "the show ended before the stretch was heard: " + run.output
                           : "the sink did not carry the stretch in time: " + run.output;
    }
    return run;
}

bool captureSong(const std::string& talvenor, const std::string& workingDirectory, int fromS,
                 int toS, std::vector<std::int16_t>& song, std::string& error) {
    const std::string folder = scratchFolder();
    const std::string path = folder + "/song.s16";
    const pid_t pid = spawn(
        talvenor, {"--capture", path, "--from", std::to_string(fromS), "--to", std::to_string(toS)},
        {{"XDG_RUNTIME_DIR", folder}}, workingDirectory, folder + "/out.txt");
    int status = 0;
    const bool done = waitExit(pid, Steady::now() + std::chrono::seconds(120), &status);
    if (!done) endChild(pid, 1.0);
    const bool ok = done && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ok) song = readS16(path);
    if (!ok) error = "capture failed: " + readText(folder + "/out.txt");
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return ok && !song.empty();
}

std::vector<double> pictureMinusHeard(const LiveRun& run, const SongMatch& match, int startS,
                                      int skipMs) {
    std::vector<double> out;
    if (!run.timed || !match.aligned) return out;
    // The recording's stretches of song between gaps: each starts at a
    // recording frame and carries the song from a song frame on.
    struct Stretch {
        double recording;
        double song;
    };
    std::vector<Stretch> stretches{{static_cast<double>(match.shift), 0.0}};
    double shift = static_cast<double>(match.shift);
    for (const InsertedSilence& g : match.gaps) {
        shift += static_cast<double>(g.lengthFrames - g.skippedFrames);
        const double song = static_cast<double>(g.songFrame + g.skippedFrames);
        stretches.push_back({song + shift, song});
    }
    for (const SwapLine& s : run.swaps) {
        if (s.songMs < startS * 1000 + skipMs) continue;
        const double playing = run.recordingOrigin + static_cast<double>(s.atNs) * kRate / 1e9;
        // The stretch playing then; inside a gap nothing of the song is heard.
        std::size_t k = 0;
        while (k + 1 < stretches.size() && stretches[k + 1].recording <= playing) ++k;
        const double songFrame = stretches[k].song + (playing - stretches[k].recording);
        const double stretchEnd = k < match.gaps.size()
                                      ? static_cast<double>(match.gaps[k].songFrame)
                                      : static_cast<double>(match.matchedUntil);
        if (songFrame < match.firstSoundingFrame || songFrame >= stretchEnd) continue;
        const double heardMs = startS * 1000.0 + songFrame * 1000.0 / kRate;
        out.push_back(s.songMs - heardMs);
    }
    return out;
}

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(values.size()));
    const std::size_t index = static_cast<std::size_t>(std::clamp(rank, 1.0, 1.0 * values.size()));
    return values[index - 1];
}
