// What the launcher's signal handlers (the crash guard, the stop requests of
// a capture and of the live show) share: a line written to stderr and the
// one real-time interval timer, with async-signal-safe calls only.
#pragma once

#include <cstddef>

// Writes all of text to stderr (what write(2) takes, up to an error).
void sayOnSignal(const char* text, std::size_t bytes);
void sayOnSignal(const char* text);

// Arms the process's real-time interval timer to raise SIGALRM once, ms
// from now; 0 disarms it.
void setAlarmAfterMs(long ms);
// Whether that timer is armed now.
bool alarmArmed();
