// Implements the signal handlers' writes and timer over write(2),
// setitimer(2) and getitimer(2).
#include "host/signal_safe.h"

#include <sys/time.h>
#include <unistd.h>

#include <cstring>

void sayOnSignal(const char* text, std::size_t bytes) {
    while (bytes > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, bytes);
        if (n <= 0) return;
        text += n;
        bytes -= static_cast<std::size_t>(n);
    }
}

void sayOnSignal(const char* text) {
    sayOnSignal(text, std::strlen(text));
}

void setAlarmAfterMs(long ms) {
    itimerval timer{};
    timer.it_value.tv_sec = ms / 1000;
    timer.it_value.tv_usec = (ms % 1000) * 1000;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

bool alarmArmed() {
    itimerval running{};
    ::getitimer(ITIMER_REAL, &running);
    return running.it_value.tv_sec != 0 || running.it_value.tv_usec != 0;
}
