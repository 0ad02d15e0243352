// Waiting on an event with a deadline: the tests' only way to wait. A loaded
// machine makes things slow, never wrong, so deadlines are generous and a
// condition is looked at again every few milliseconds until it holds.
#pragma once

#include <functional>

// True as soon as condition() holds; false when seconds passed without it.
bool waitUntil(const std::function<bool()>& condition, double seconds);
