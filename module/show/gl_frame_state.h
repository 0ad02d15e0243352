// FrameState on the current OpenGL context; textures come from the module's slots.
#pragma once

#include "show/frame_state.h"

class TextureSlot;

class GlFrameState final : public FrameState {
public:
    explicit GlFrameState(const TextureSlot* slots) : slots_(slots) {}

    void clearBuffers(bool color, bool depth) override;
    void setProjection(const FrustumParams& frustum) override;
    void setDepthFunction(unsigned glFunction) override;
    void setDepthTest(bool enabled) override;
    void setFaceCulling(bool enabled) override;
    void setColor(float r, float g, float b) override;
    void bindTexture(std::int32_t slot, std::uint32_t bindWord) override;

private:
    const TextureSlot* slots_;
};
