// The module's one renderer object: the outline text, the meshes, the sprite
// burst and the frame's two clock values, and every effect drawn through them.
#pragma once

#include "effects/outline_text.h"
#include "effects/scene_effects.h"
#include "effects/sprite_burst.h"
#include "meshes/baked_mesh_set.h"

class SceneRenderer final : public SceneEffects {
public:
    SceneRenderer() = default;
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;

    void setSongTime(double t) override;
    void setEventTime(double t) override;

    void drawSpriteBurst(double rotX, double rotY, double rotZ, double z) override;

    void drawMeshA(double scale, double rotX, double rotY, double rotZ) override;
    void drawMeshB(double scale, double rotX, double rotY, double rotZ) override;
    void drawMeshC(double scale, double rotX, double rotY, double rotZ) override;
    void drawMeshSwarm(double scale, int copies, double rotX, double rotY, double rotZ) override;
    void drawMeshCircleA(double scale, int copies, double rotX, double rotY,
                         double rotZ) override;
    void drawMeshCircleB(double scale, int copies, double rotX, double rotY,
                         double rotZ) override;

    void drawFullScreenPanel(double nearVal, double right, double top) override;

    void drawTextColumn(const char* text, double scale, double rotX, double rotY, double rotZ,
                        double x, double yTop, double z) override;
    void drawWaveText(const char* text, double scale, double zBase, double zAmplitude,
                      double yAmplitude, double angleFactor, double xStart, double letterSpacing,
                      double scrollSpeed, double phasePerLetter, double phasePerSecond,
                      double yawAmplitude, double rollAmplitude, double phaseOffset) override;

    OutlineText text;
    BakedMeshSet meshes;
    SpriteBurst sprites;
    double songTime = 0.0;
    double eventTime = 0.0;
};
