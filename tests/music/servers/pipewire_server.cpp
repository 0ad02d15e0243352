// Each program runs in the foreground with the private folders in its
// environment; the pulse server's socket answering and the null sink's
// module loading (pactl) say the graph is up.
#include "pipewire_server.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

const char* const kPrograms[] = {"/usr/bin/dbus-daemon", "/usr/bin/pipewire",
                                 "/usr/bin/wireplumber", "/usr/bin/pipewire-pulse",
                                 "/usr/bin/pactl"};
const char* const kLogs[] = {"pipewire.log", "wireplumber.log", "pipewire-pulse.log"};

// The graph's clock: 44,100 Hz only, as the show and the sink mix.
constexpr const char* kRateConfig =
    "context.properties = {\n"
    "    default.clock.rate = 44100\n"
    "    default.clock.allowed-rates = [ 44100 ]\n"
    "}\n";

bool exitedWith(pid_t pid, int code) {
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == code;
}

}  // namespace

bool PipeWireServer::available() {
    for (const char* program : kPrograms) {
        if (::access(program, X_OK) != 0) return false;
    }
    return true;
}

PipeWireServer::~PipeWireServer() {
    stop();
}

pid_t PipeWireServer::spawn(const std::vector<std::string>& args, const std::string& logName) {
    const std::string logPath = folder_ + "/" + logName;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a killed test
        const std::string runtime = folder_ + "/runtime";
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder_ + "/config").c_str(), 1);
        ::setenv("HOME", folder_.c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + runtime + "/bus").c_str(), 1);
        ::setenv("PULSE_SERVER", server_.c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        std::FILE* log = std::fopen(logPath.c_str(), "ab");
        if (log != nullptr) {
            ::dup2(fileno(log), STDOUT_FILENO);
            ::dup2(fileno(log), STDERR_FILENO);
        }
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

bool PipeWireServer::start(std::string& error, double timeoutSeconds) {
    if (!available()) {
        error = "pipewire, wireplumber, pipewire-pulse, pactl or dbus-daemon is not installed";
        return false;
    }
    if (!makeFolder("sorvanel-pipewire")) {
        error = "no temporary folder";
        return false;
    }
    const fs::path runtime = folder_ + "/runtime";
    const fs::path dropIns = folder_ + "/config/pipewire/pipewire.conf.d";
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    fs::create_directories(dropIns);
    std::ofstream(dropIns / "rate.conf") << kRateConfig;
    const std::string socket = (runtime / "pulse" / "native").string();
    server_ = "unix:" + socket;

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    const auto waitFor = [&](const fs::path& path) {
        while (!fs::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling for a socket
        }
        return true;
    };
    pids_.push_back(spawn({kPrograms[0], "--session", "--nofork", "--nopidfile",
                           "--address=unix:path=" + (runtime / "bus").string()},
                          "dbus.log"));
    if (!waitFor(runtime / "bus")) {
        error = "the session bus did not come up";
        stop();
        return false;
    }
    pids_.push_back(spawn({kPrograms[1]}, kLogs[0]));
    if (!waitFor(runtime / "pipewire-0")) {
        error = "pipewire did not come up: " + log();
        stop();
        return false;
    }
    pids_.push_back(spawn({kPrograms[2]}, kLogs[1]));
    pids_.push_back(spawn({kPrograms[3]}, kLogs[2]));
    // pactl answers only once the pulse server does, and the sink is there
    // once its module loads.
    while (std::chrono::steady_clock::now() < deadline) {
        if (fs::exists(socket)) {
            const pid_t load = spawn({kPrograms[4], "load-module", "module-null-sink",
                                      "sink_name=" + sink(), "rate=44100", "channels=2"},
                                     "pactl.log");
            if (exitedWith(load, 0)) return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // polling the server
    }
    error = "pipewire-pulse did not load the null sink: " + log();
    stop();
    return false;
}

void PipeWireServer::stop() {
    for (auto it = pids_.rbegin(); it != pids_.rend(); ++it) endProgram(*it);
    pids_.clear();
    removeFolder();
}

std::string PipeWireServer::log() const {
    std::stringstream text;
    for (const char* name : kLogs) {
        std::ifstream in(folder_ + "/" + name);
        text << name << ":\n" << in.rdbuf();
    }
    return text.str();
}
