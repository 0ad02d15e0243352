// The effect operations the scene director calls each frame. SceneRenderer
// implements them with OpenGL; tests implement them to record the calls.
// Angles are in degrees, times in seconds.
#pragma once

class SceneEffects {
public:
    virtual ~SceneEffects() = default;

    virtual void setSongTime(double t) = 0;
    virtual void setEventTime(double t) = 0;

    virtual void drawSpriteBurst(double rotX, double rotY, double rotZ, double z) = 0;

    virtual void drawMeshA(double scale, double rotX, double rotY, double rotZ) = 0;
    virtual void drawMeshB(double scale, double rotX, double rotY, double rotZ) = 0;
    virtual void drawMeshC(double scale, double rotX, double rotY, double rotZ) = 0;
    virtual void drawMeshSwarm(double scale, int copies, double rotX, double rotY,
                               double rotZ) = 0;
    virtual void drawMeshCircleA(double scale, int copies, double rotX, double rotY,
                                 double rotZ) = 0;
    virtual void drawMeshCircleB(double scale, int copies, double rotX, double rotY,
                                 double rotZ) = 0;

    virtual void drawFullScreenPanel(double nearVal, double right, double top) = 0;

    virtual void drawTextColumn(const char* text, double scale, double rotX, double rotY,
                                double rotZ, double x, double yTop, double z) = 0;
    // text is a line as stored in the line tables: scrambled, unscrambled per
    // character while drawing.
    virtual void drawWaveText(const char* text, double scale, double zBase, double zAmplitude,
                              double yAmplitude, double angleFactor, double xStart,
                              double letterSpacing, double scrollSpeed, double phasePerLetter,
                              double phasePerSecond, double yawAmplitude, double rollAmplitude,
                              double phaseOffset) = 0;
};
