// Counts the program's heap allocations and can make the nothrow form of
// operator new fail, so tests can check allocation failures and frames that
// must not allocate. Implemented by replacing the global operators.
#pragma once

#include <cstddef>

namespace allocation_hooks {

// Allocations through any replaced operator new since the program started,
// and the bytes they asked for.
std::size_t count();
std::size_t bytes();

// The next `successes` nothrow allocations succeed, every later one fails,
// until reset() is called.
void failNothrowAfter(std::size_t successes);
void reset();

}  // namespace allocation_hooks
