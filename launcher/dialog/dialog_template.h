// The settings dialog's template as data: caption, font, size and the seven
// controls in their order, all in dialog units, and the mapping from dialog
// units to pixels by the dialog font's base units. Plain data, no toolkit.
#pragma once

namespace dialog_template {

enum class ControlKind { DropDownList, CheckBox, PushButton, GroupBox };

// A rectangle in dialog units: x in quarters, y in eighths of the font's
// base units.
struct Rect {
    int x;
    int y;
    int width;
    int height;
};

struct Control {
    int id;
    ControlKind kind;
    const char* caption;  // "&" marks the shortcut letter; nullptr for none
    Rect rect;
    bool tabStop;
    bool defaultButton;  // drawn as, and answering Enter as, the default
};

constexpr int kStartButtonId = 2;  // Esc and a close request act as this button
constexpr int kFullScreenCheckId = 1001;
constexpr int kResolutionListId = 1002;
constexpr int kLeaveButtonId = 1005;
constexpr int kNoSoundCheckId = 1006;
constexpr int kNoId = -1;

constexpr const char* kCaption = "Morrowen :: Talvenor";
constexpr const char* kFontName = "MS Sans Serif";
constexpr int kFontPoints = 8;
constexpr Rect kDialogRect{0, 0, 299, 41};

constexpr int kControlCount = 7;
// Template order is also the Tab order among the controls that take focus.
// Both buttons carry the default style; the first one is the default.
constexpr Control kControls[kControlCount] = {
    {kResolutionListId, ControlKind::DropDownList, nullptr, {10, 16, 71, 107}, true, false},
    {kFullScreenCheckId, ControlKind::CheckBox, "Fullscreen", {90, 16, 48, 15}, true, false},
    {kStartButtonId, ControlKind::PushButton, "&Beam me up!", {220, 7, 74, 14}, true, true},
    {kLeaveButtonId,
     ControlKind::PushButton,
     "&Let me out of here..",
     {220, 22, 74, 14},
     true,
     true},
    {kNoId, ControlKind::GroupBox, "Resolution", {5, 5, 140, 30}, false, false},
    {kNoSoundCheckId, ControlKind::CheckBox, "No Sound", {160, 16, 49, 15}, true, false},
    {kNoId, ControlKind::GroupBox, "Sound Device", {150, 5, 62, 30}, false, false},
};

// A drop-down list's height in the template includes its open list; closed,
// it is one line of the font plus its border, 13 units.
constexpr int kDropDownClosedHeight = 13;

// The control with this id, or nullptr.
const Control* findControl(int id);

// The id of the dialog's default button: the first control with the default
// style.
int defaultButtonId();

// The font's base units in pixels: its average character width and its line
// height. MS Sans Serif 8 pt at 96 dpi gives 6 x 13.
struct BaseUnits {
    int x;
    int y;
};
constexpr BaseUnits kClassicBaseUnits{6, 13};

// Base units from a font's measurements: the width of the 52 letters
// A-Z a-z set in one run, and the line height.
BaseUnits baseUnitsFromFont(double alphabetWidth, int lineHeight);

struct PixelRect {
    int x;
    int y;
    int width;
    int height;
};

// Dialog units to pixels, each value rounded to the nearest pixel (halves
// away from zero).
PixelRect toPixels(const Rect& rect, const BaseUnits& units);

}  // namespace dialog_template
