// Placeholder until the mesh effects, sprite burst and panels land.
#include "effects/scene_renderer.h"

SpriteBurst::SpriteBurst() = default;
void SpriteBurst::respawn(int) {}
void SpriteBurst::drawParticle(int) {}
void SceneRenderer::drawSpriteBurst(double, double, double, double) {}
void SceneRenderer::drawMeshA(double, double, double, double) {}
void SceneRenderer::drawMeshB(double, double, double, double) {}
void SceneRenderer::drawMeshC(double, double, double, double) {}
void SceneRenderer::drawMeshSwarm(double, int, double, double, double) {}
void SceneRenderer::drawMeshCircleA(double, int, double, double, double) {}
void SceneRenderer::drawMeshCircleB(double, int, double, double, double) {}
void SceneRenderer::drawFullScreenPanel(double, double, double) {}
