// Implements the template's look-ups (a control by id, the default button)
// and the mapping of dialog units to pixels; plain arithmetic.
#include "dialog/dialog_template.h"

#include <cmath>
#include <cstdint>

namespace dialog_template {

namespace {

// value * numerator / denominator, rounded to nearest, halves away from zero.
int scaleRounded(int value, int numerator, int denominator) {
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded =
        product >= 0 ? (product + half) / denominator : -((-product + half) / denominator);
    return static_cast<int>(rounded);
}

}  // namespace

const Control* findControl(int id) {
    for (const Control& c : kControls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

int defaultButtonId() {
    for (const Control& c : kControls) {
        if (c.kind == ControlKind::PushButton && c.defaultButton) return c.id;
    }
    return kNoId;
}

BaseUnits baseUnitsFromFont(double alphabetWidth, int lineHeight) {
    // Half-up rounding of the average over the 52 letters.
    const int x = static_cast<int>(std::floor(alphabetWidth / 52.0 + 0.5));
    if (x <= 0 || lineHeight <= 0) return kClassicBaseUnits;
    return {x, lineHeight};
}

PixelRect toPixels(const Rect& rect, const BaseUnits& units) {
    return {scaleRounded(rect.x, units.x, 4), scaleRounded(rect.y, units.y, 8),
            scaleRounded(rect.width, units.x, 4), scaleRounded(rect.height, units.y, 8)};
}

}  // namespace dialog_template
