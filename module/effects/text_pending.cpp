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
