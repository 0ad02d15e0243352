// The two text effects of the renderer: a word as a column of letters (the
// credit names and the title word) and a line of text running around a drum
// (the wave-text lines). Both draw one character at a time through the
// renderer's outline text, in white. Needs OpenGL and the line unscrambling.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "effects/line_tables.h"
#include "effects/scene_renderer.h"

namespace {

// Letters of a column stand this far apart, before the text's scale.
constexpr double kColumnSpacing = 6.0;
// Letters with x on or beyond these bounds are not drawn.
constexpr double kWaveWindowLeft = -30.0;
constexpr double kWaveWindowRight = 30.0;
// The sideways swing runs 32 times slower than the drum's phase.
constexpr double kSwingRate = 0.03125;
// 1/(2 pi) and 180/pi, with pi taken as 3.14159265359.
constexpr double kPhaseToRadians = 0.15915494309188485;
constexpr double kDegreesPerRadian = 57.29577951307855;
// Stands in for a cosine of exactly zero so the facing angle stays finite.
constexpr double kTinyCosine = 0.000000000001;

}  // namespace

void SceneRenderer::drawTextColumn(const char* s, double scale, double rotX, double rotY,
                                   double rotZ, double x, double yTop, double z) {
    glColor3f(1.0f, 1.0f, 1.0f);
    text.rotation[0] = rotX;
    text.rotation[1] = rotY;
    text.rotation[2] = rotZ;
    text.position[0] = x;
    text.position[2] = z;
    text.scale[0] = text.scale[1] = text.scale[2] = scale;

    const int n = s != nullptr ? static_cast<int>(std::strlen(s)) : 0;
    char letter[2] = {0, 0};
    // Last letter first; letter j stands 6 (j + 1) below the column's top.
    for (int j = n - 1; j >= 0; --j) {
        letter[0] = s[j];
        text.setText(letter);
        text.position[1] = yTop - kColumnSpacing * (j + 1);
        text.draw();
    }
    text.position[1] = yTop;
}

void SceneRenderer::drawWaveText(const char* s, double scale, double zBase, double zAmplitude,
                                 double yAmplitude, double angleFactor, double xStart,
                                 double letterSpacing, double scrollSpeed, double phasePerLetter,
                                 double phasePerSecond, double yawAmplitude, double rollAmplitude,
                                 double phaseOffset) {
    glColor3f(1.0f, 1.0f, 1.0f);
    text.scale[0] = text.scale[1] = text.scale[2] = scale;

    const double e = eventTime;
    const int n = s != nullptr ? static_cast<int>(std::strlen(s)) : 0;
    char letter[2] = {0, 0};
    for (int index = 0; index < n; ++index) {
        const double i = index;
        const double x = i * letterSpacing + xStart - scrollSpeed * e;
        if (x <= kWaveWindowLeft || x >= kWaveWindowRight) continue;

        // A byte that unscrambles to 0 makes an empty text: nothing is drawn.
        letter[0] = static_cast<char>(unscrambleLineByte(static_cast<std::uint8_t>(s[index])));
        const double a = (phasePerSecond * e + i * phasePerLetter) * angleFactor;
        const double swing = std::sin(a * kSwingRate);
        const double b = a * kPhaseToRadians + phaseOffset;
        const double sine = std::sin(b);
        double cosine = std::cos(b);

        // The facing angle: b in degrees, brought into -90 .. 270.
        double facing;
        if (cosine == 0.0) {
            cosine = kTinyCosine;
            facing = kDegreesPerRadian * std::atan(sine / cosine);
        } else if (cosine > 0.0) {
            facing = kDegreesPerRadian * std::atan(sine / cosine);
        } else {
            facing = 180.0 - kDegreesPerRadian * std::atan(-sine / cosine);
        }

        text.setText(letter);
        text.rotation[0] = 360.0 - facing;
        text.rotation[1] = swing * yawAmplitude;
        text.rotation[2] = swing * rollAmplitude;
        text.position[0] = x;
        text.position[1] = sine * yAmplitude;
        text.position[2] = cosine * zAmplitude + zBase;
        text.draw();
    }
}
