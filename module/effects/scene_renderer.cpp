// SceneRenderer's clock setters; the effects live in their own files.
#include "effects/scene_renderer.h"

void SceneRenderer::setSongTime(double t) { songTime = t; }

void SceneRenderer::setEventTime(double t) { eventTime = t; }
