// The dialog template as data: the Tab order of its controls, which button
// is the default, which group box frames which control, and the mapping of
// dialog units to pixels by the font's base units.
#include "dialog/dialog_template.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dt = dialog_template;

namespace {

bool frames(const dt::Rect& outer, const dt::Rect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           inner.x + inner.width <= outer.x + outer.width &&
           inner.y + inner.height <= outer.y + outer.height;
}

dt::Rect closedRect(const dt::Control& c) {
    dt::Rect r = c.rect;
    if (c.kind == dt::ControlKind::DropDownList) r.height = dt::kDropDownClosedHeight;
    return r;
}

TEST(DialogTemplate, TabOrderAndTheDefaultButton) {
    std::vector<int> order;
    for (const dt::Control& c : dt::kControls) {
        if (c.tabStop) order.push_back(c.id);
    }
    EXPECT_EQ(order, (std::vector<int>{1002, 1001, 2, 1005, 1006}));
    // Both buttons carry the default style; the first, the start, is the
    // default, and no control has the OK identifier.
    EXPECT_EQ(dt::defaultButtonId(), 2);
    EXPECT_STREQ(dt::findControl(2)->caption, "&Beam me up!");
    EXPECT_EQ(dt::findControl(1), nullptr);
}

TEST(DialogTemplate, GroupBoxesFrameTheirControlsAndNothingElse) {
    const dt::Control* resolution = nullptr;
    const dt::Control* sound = nullptr;
    for (const dt::Control& c : dt::kControls) {
        if (c.kind != dt::ControlKind::GroupBox) continue;
        (std::string(c.caption) == "Resolution" ? resolution : sound) = &c;
    }
    ASSERT_NE(resolution, nullptr);
    ASSERT_NE(sound, nullptr);
    EXPECT_STREQ(sound->caption, "Sound Device");
    for (const dt::Control& c : dt::kControls) {
        if (c.kind == dt::ControlKind::GroupBox) continue;
        const bool inResolution = c.id == 1002 || c.id == 1001;
        const bool inSound = c.id == 1006;
        EXPECT_EQ(frames(resolution->rect, closedRect(c)), inResolution) << c.id;
        EXPECT_EQ(frames(sound->rect, closedRect(c)), inSound) << c.id;
        EXPECT_TRUE(frames(dt::kDialogRect, closedRect(c))) << c.id;
    }
}

TEST(DialogUnits, ClassicFontGivesTheClassicPixelSizes) {
    const dt::PixelRect dialog = dt::toPixels(dt::kDialogRect, dt::kClassicBaseUnits);
    EXPECT_EQ(dialog.width, 449);  // 448.5 rounds up
    EXPECT_EQ(dialog.height, 67);  // 66.625
    const dt::PixelRect start = dt::toPixels(dt::findControl(2)->rect, dt::kClassicBaseUnits);
    EXPECT_EQ(start.x, 330);
    EXPECT_EQ(start.y, 11);  // 11.375
    EXPECT_EQ(start.width, 111);
    EXPECT_EQ(start.height, 23);  // 22.75
}

TEST(DialogUnits, HalvesRoundAwayFromZeroAndBaseUnitsComeFromTheFont) {
    const dt::PixelRect r = dt::toPixels({1, 4, -1, -4}, {6, 13});
    EXPECT_EQ(r.x, 2);  // 1.5
    EXPECT_EQ(r.y, 7);  // 6.5
    EXPECT_EQ(r.width, -2);
    EXPECT_EQ(r.height, -7);
    // The average of the 52 letters, rounded; a font that measures nothing
    // falls back to the classic units.
    EXPECT_EQ(dt::baseUnitsFromFont(52 * 6.49, 14).x, 6);
    EXPECT_EQ(dt::baseUnitsFromFont(52 * 6.5, 14).x, 7);
    EXPECT_EQ(dt::baseUnitsFromFont(0.0, 14).x, 6);
    EXPECT_EQ(dt::baseUnitsFromFont(300.0, 0).y, 13);
}

}  // namespace
