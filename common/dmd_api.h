// The contract between the launcher and a demo module ("DMD"): the three
// exports and the projection the launcher hands over every frame.
// Header only: the launcher binds the exports by name at run time and has no
// link-time dependency on any module.
#pragma once

#include <cstdint>

// A perspective frustum, in the argument order of glFrustum.
struct FrustumParams {
    double left;
    double right;
    double bottom;
    double top;
    double nearVal;
    double farVal;
};

// The messages the launcher's buffer receives are shorter than this.
constexpr int kMessageBufferSize = 256;

extern "C" {
// deviceContext: opaque handle to the host's window; the module need not use it.
// messageTarget: address of a pointer to the launcher's 256-byte text buffer.
using DmdInitFn = int (*)(void* deviceContext, int soundEnabled, char** messageTarget);
// startTick: milliseconds taken before Init; always1: the integer 1. Neither is read.
using DmdRenderSceneFn = int (*)(std::uint32_t startTick, int always1, double left, double right,
                                 double bottom, double top, double nearVal, double farVal);
using DmdDoneFn = void (*)();
}

#define DMD_EXPORT extern "C" __attribute__((visibility("default")))
