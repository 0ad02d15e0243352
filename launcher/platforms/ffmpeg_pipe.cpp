// Implements FfmpegPipe over posix_spawnp: the child in its own process group,
// with SIGINT and SIGPIPE at their defaults whatever this process does with
// them, and the write end of its input pipe never inherited.
#include "platforms/ffmpeg_pipe.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

FfmpegPipe::~FfmpegPipe() {
    finish();
}

bool FfmpegPipe::start(const std::vector<std::string>& args, bool feedInput, std::string& error) {
    if (args.empty() || pid_ > 0) {
        error = "nothing to start";
        return false;
    }
    int fds[2] = {-1, -1};
    if (feedInput && ::pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Without a pipe the child reads nothing: a child outside the terminal's
    // foreground group that read the terminal would be stopped.
    if (feedInput) {
        posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGPIPE);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int result = posix_spawnp(&pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (feedInput) ::close(fds[0]);
    if (result != 0) {
        pid_ = -1;
        if (feedInput) ::close(fds[1]);
        error = args[0] + ": " + std::strerror(result);
        if (result == ENOENT) error += " (install the ffmpeg package)";
        return false;
    }
    input_ = feedInput ? fds[1] : -1;
    return true;
}

bool FfmpegPipe::write(const void* data, std::size_t bytes) {
    if (input_ < 0) return false;
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        // MSG_NOSIGNAL does not apply to pipes: callers ignore SIGPIPE.
        const ssize_t n = ::write(input_, p, bytes);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        bytes -= static_cast<std::size_t>(n);
    }
    return true;
}

int FfmpegPipe::finish() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
    if (pid_ <= 0) return -1;
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0) {
        if (errno != EINTR) {
            pid_ = -1;
            return -1;
        }
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int runFfmpeg(const std::vector<std::string>& args, std::string& error) {
    FfmpegPipe child;
    if (!child.start(args, false, error)) return -1;
    return child.finish();
}
