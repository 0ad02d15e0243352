// Placeholder until the outline font and the text effects land.
#include "effects/scene_renderer.h"

OutlineText::~OutlineText() = default;
void OutlineText::createFont(void*, const char*, float) {}
void OutlineText::setText(const char*) {}
void OutlineText::draw() {}
void SceneRenderer::drawTextColumn(const char*, double, double, double, double, double, double,
                                   double) {}
void SceneRenderer::drawWaveText(const char*, double, double, double, double, double, double,
                                 double, double, double, double, double, double, double) {}

#include "effects/line_tables.h"

const char* const firstLineTable[kLineTableSize] = {"", "", "", "", "", "", "",
                                                    "", "", "", "", "", ""};
const char* const secondLineTable[kLineTableSize] = {"", "", "", "", "", "", "",
                                                     "", "", "", "", "", ""};
std::uint8_t unscrambleLineByte(std::uint8_t stored) {
    return stored;
}
