// The ffmpeg programs' processes: finding a program in PATH, becoming one in
// a forked child, and the table of children still running that a signal
// handler can end. FfmpegPipe (ffmpeg_pipe.h) drives them.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The program's path from PATH, as execvp would find it; empty if none.
std::string findProgram(const std::string& name);

// In the child just forked: a process group of its own, killed when
// talvenor goes, default signal handling, input (or /dev/null when input is
// negative) as standard input, printed as standard output and error, and
// passFds[i] as descriptor 3 + i; then execve. When execve fails its errno
// is written to errorPipe. Calls only what is async-signal-safe.
[[noreturn]] void becomeChild(const char* program, char* const* argv, pid_t parent, int input,
                              int printed, const std::vector<int>& passFds, int errorPipe);

// The children running now, kept in a table a signal handler can read (at
// most eight at once; more are not tracked).
void registerChild(pid_t pid);
void forgetChild(pid_t pid);

// Kills every child started here that still runs, with its group. Only
// async-signal-safe calls: for a signal handler that ends the program.
void killAllChildrenNow();
