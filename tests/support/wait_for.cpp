// Implements waitUntil by polling every 10 ms.
#include "wait_for.h"

#include <chrono>
#include <thread>

bool waitUntil(const std::function<bool()>& condition, double seconds) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
