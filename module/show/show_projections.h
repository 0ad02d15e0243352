// The director's projections, each a frustum for FrameState::setProjection.
// Two of them breathe with the frame's pulse; the text projection narrows the
// host's frustum tenfold, which magnifies the texts. The fixed ones are
// composed for 4:3 and fitted to the aspect of the host's frustum, so that a
// wider picture shows more at the sides instead of a stretched view.
#pragma once

#include <cmath>

#include "common/dmd_api.h"

// The host frustum's aspect against 4:3: 1 for the default +-5 by +-3.75.
// Values within rounding of 1 are 1, so a 4:3 picture is drawn exactly as
// composed.
inline double frustumWidening(const FrustumParams& host) {
    const double height = host.top - host.bottom;
    if (!(height > 0.0) || !(host.right - host.left > 0.0)) return 1.0;
    const double widening = (host.right - host.left) / height * 0.75;
    if (!std::isfinite(widening) || std::fabs(widening - 1.0) < 1e-9) return 1.0;
    return widening;
}

// A 4:3 projection opened out sideways by widening, or, below 1, heightened.
inline FrustumParams fittedToAspect(const FrustumParams& composed, double widening) {
    FrustumParams f = composed;
    if (widening == 1.0) return f;
    if (widening > 1.0) {
        f.left *= widening;
        f.right *= widening;
    } else {
        f.bottom /= widening;
        f.top /= widening;
    }
    return f;
}

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
