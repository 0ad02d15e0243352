// The director's projections, each a frustum for FrameState::setProjection.
// Two of them breathe with the frame's pulse; the text projection narrows the
// host's frustum tenfold, which magnifies the texts.
#pragma once

#include "common/dmd_api.h"

// The sprite burst: a narrow view at near 0.5.
constexpr FrustumParams kSpriteProjection{-0.32, 0.32, -0.24, 0.24, 0.5, 255.0};

// The circles of mesh copies; the top is 2.0, not 2.4, which lifts the view.
constexpr FrustumParams kCircleProjectionA{-3.2, 3.2, -2.4, 2.0, 4.0, 1024.0};
constexpr FrustumParams kCircleProjectionB{-3.2, 3.2, -2.4, 2.0, 4.0, 2048.0};

// The enclosing mesh figures: the near plane comes in from 1 to 0.1 as the
// pulse rises, widening the view.
inline FrustumParams breathingProjection(double pulse) {
    return {-3.2, 3.2, -2.4, 2.4, 1.0 - 0.9 * pulse * pulse, 255.0};
}

// The swarms: the near plane moves out from 1.9 to 2.3 as the pulse rises.
inline FrustumParams swarmProjection(double pulse) {
    return {-3.2, 3.2, -2.4, 2.4, 1.9 + 0.4 * pulse * pulse, 255.0};
}

// Credits, title word and text lines.
inline FrustumParams textProjection(const FrustumParams& host) {
    return {host.left * 0.1, host.right * 0.1, host.bottom * 0.1,
            host.top * 0.1,  host.nearVal,     host.farVal};
}
