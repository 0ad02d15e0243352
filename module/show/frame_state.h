// The GL state changes the scene director makes between effects. GlFrameState
// makes them on the current context; tests implement them to record the calls.
#pragma once

#include <cstdint>

#include "common/dmd_api.h"

class FrameState {
public:
    virtual ~FrameState() = default;

    // One glClear of the named buffers; nothing when both are false.
    virtual void clearBuffers(bool color, bool depth) = 0;
    // Replaces the projection with a frustum and resets the modelview matrix.
    virtual void setProjection(const FrustumParams& frustum) = 0;
    // GL_LESS or GL_LEQUAL.
    virtual void setDepthFunction(unsigned glFunction) = 0;
    virtual void setDepthTest(bool enabled) = 0;
    virtual void setFaceCulling(bool enabled) = 0;
    virtual void setColor(float r, float g, float b) = 0;
    // bindTextureSlot: the bind word's mode bits choose the texture-coordinate
    // generation, its low byte the blend code; a word without them binds nothing.
    virtual void bindTexture(std::int32_t slot, std::uint32_t bindWord) = 0;
};
