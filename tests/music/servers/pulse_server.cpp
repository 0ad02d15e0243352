// Starts `pulseaudio` in the foreground with a minimal module list in a
// fresh folder, and waits until a client can connect to it.
#include "pulse_server.h"

#include <pulse/pulseaudio.h>
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
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kDaemon = "/usr/bin/pulseaudio";

// Connects once; true when the server answers as ready.
bool answers(const std::string& server) {
    pa_mainloop* loop = pa_mainloop_new();
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "sorvanel-test-probe");
    bool ready = false;
    if (pa_context_connect(context, server.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                ready = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) break;
            if (pa_mainloop_iterate(loop, 1, nullptr) < 0) break;
        }
    }
    pa_context_disconnect(context);
    pa_context_unref(context);
    pa_mainloop_free(loop);
    return ready;
}

}  // namespace

bool PulseServer::available() {
    return ::access(kDaemon, X_OK) == 0;
}

PulseServer::~PulseServer() {
    stop();
}

bool PulseServer::start(std::string& error, double timeoutSeconds) {
    if (!available()) {
        error = std::string(kDaemon) + " is not installed";
        return false;
    }
    if (!makeFolder("sorvanel-pulse")) {
        error = "no temporary folder";
        return false;
    }
    const std::string socket = folder_ + "/native";
    server_ = "unix:" + socket;
    const std::string logPath = folder_ + "/daemon.log";
    const std::vector<std::string> args = {
        kDaemon,
        "--daemonize=no",
        "-n",  // no default script: only the modules named here
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--system=no",
        "--log-target=file:" + logPath,
        "-L",
        "module-null-sink sink_name=" + sink() + " rate=44100 channels=2 format=s16le",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + socket,
    };
    pid_ = ::fork();
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a killed test
        ::setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
        ::setenv("HOME", folder_.c_str(), 1);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        ::unsetenv("DISPLAY");  // no X11 bell or publishing
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(kDaemon, argv.data());
        ::_exit(127);
    }
    if (pid_ < 0) {
        error = "fork failed";
        return false;
    }
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            error = "pulseaudio exited: " + log();
            return false;
        }
        if (fs::exists(socket) && answers(server_)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // polling the socket
    }
    error = "pulseaudio did not come up: " + log();
    stop();
    return false;
}

void PulseServer::stop() {
    endProgram(pid_);
    pid_ = -1;
    removeFolder();
}

std::string PulseServer::log() const {
    std::ifstream in(folder_ + "/daemon.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
