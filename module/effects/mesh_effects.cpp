// The mesh figures: one mesh round the eye seen from inside (A, B, C), a chain
// of copies far in front (swarm) and two rings of copies (circles). The
// copies' rotations accumulate and follow the song time.
#include <GL/gl.h>

#include <cmath>

#include "effects/scene_renderer.h"

namespace {

// Divisions of the animation are multiplications by the nearest doubles.
constexpr double kOneOver30 = 1.0 / 30.0;
constexpr double kOneOver31 = 1.0 / 31.0;
constexpr double kOneOver37 = 1.0 / 37.0;
constexpr double kOneOver42 = 1.0 / 42.0;
constexpr double kOneOver54 = 1.0 / 54.0;
constexpr double kOneOver59 = 1.0 / 59.0;
constexpr double kOneOver61 = 1.0 / 61.0;
constexpr double kOneOver62 = 1.0 / 62.0;
constexpr double kOneOver71 = 1.0 / 71.0;

void rotateXYZ(double rotX, double rotY, double rotZ) {
    glRotated(rotX, 1.0, 0.0, 0.0);
    glRotated(rotY, 0.0, 1.0, 0.0);
    glRotated(rotZ, 0.0, 0.0, 1.0);
}

using Emit = void (BakedMeshSet::*)() const;

// The mesh encloses the eye and winds counter-clockwise seen from outside:
// with clockwise front faces the inner walls are the ones drawn.
void drawEnclosingFigure(const BakedMeshSet& meshes, Emit emit, double scale, double rotX,
                         double rotY, double rotZ) {
    glFrontFace(GL_CW);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    glScaled(scale, scale, scale);
    rotateXYZ(rotX, rotY, rotZ);
    (meshes.*emit)();
    glPopMatrix();
    glFrontFace(GL_CCW);
}

// The first circle's copies both turn about +y: 20 t degrees per copy together.
void turnCopyOfCircleA(double /*k*/, double t) {
    glRotated(10.0 * t, 0.0, 0.4 * std::sin(0.05 * t) + 0.5, 0.0);
    glRotated(10.0 * t, 0.0, 0.4 * std::sin(t * kOneOver30) + 0.5, 0.0);
}

// The second circle's copy k turns (k + 10) t degrees about y, then about z.
void turnCopyOfCircleB(double k, double t) {
    glRotated((k + 10.0) * t, 0.0, 0.4 * std::sin(t * kOneOver31) + 0.5, 0.0);
    glRotated((k + 10.0) * t, 0.0, 0.0, 0.4 * std::sin(t * kOneOver37) + 0.5);
}

// What tells the two circles apart.
struct CircleFigure {
    double distance;                       // z of the ring's centre, in scaled units
    void (*turnCopy)(double k, double t);  // the turn copy k adds at song time t
    Emit emit;                             // the mesh of each copy
};

constexpr CircleFigure kCircleA{-21.5, turnCopyOfCircleA, &BakedMeshSet::emitMesh2};
constexpr CircleFigure kCircleB{-31.5, turnCopyOfCircleB, &BakedMeshSet::emitMesh3};

// A ring of copies: each copy steps one further share of a full turn about x
// and adds its own turn on top of the ones before it.
void drawCircleOfCopies(const BakedMeshSet& meshes, const CircleFigure& figure, double t,
                        double scale, int copies, double rotX, double rotY, double rotZ) {
    // Unused without copies.
    const double step = copies > 0 ? 360.0 / copies : 0.0;
    glPushMatrix();
    glScaled(scale, scale, scale);
    glTranslated(0.0, 0.0, figure.distance);
    rotateXYZ(rotX, rotY, rotZ);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (double k = 1.0; k < copies + 1.0; k += 1.0) {
        glRotated(step, 1.0, 0.0, 0.0);
        figure.turnCopy(k, t);
        (meshes.*figure.emit)();
    }
    glPopMatrix();
}

}  // namespace

void SceneRenderer::drawMeshA(double scale, double rotX, double rotY, double rotZ) {
    drawEnclosingFigure(meshes, &BakedMeshSet::emitMesh1, scale, rotX, rotY, rotZ);
}

void SceneRenderer::drawMeshB(double scale, double rotX, double rotY, double rotZ) {
    drawEnclosingFigure(meshes, &BakedMeshSet::emitMesh4, scale, rotX, rotY, rotZ);
}

void SceneRenderer::drawMeshC(double scale, double rotX, double rotY, double rotZ) {
    drawEnclosingFigure(meshes, &BakedMeshSet::emitMesh5, scale, rotX, rotY, rotZ);
}

void SceneRenderer::drawMeshSwarm(double scale, int copies, double rotX, double rotY, double rotZ) {
    const double t = songTime;
    glPushMatrix();
    // Before the scale, so the chain hangs 180 eye units away at any scale.
    glTranslated(0.0, 0.0, -180.0);
    glScaled(scale, scale, scale);
    rotateXYZ(rotX, rotY, rotZ);
    glColor3f(1.0f, 1.0f, 1.0f);
    // The counter runs 3, 4, ... copies + 2; each copy turns on top of the
    // ones before it.
    for (double k = 3.0; k < copies + 3.0; k += 1.0) {
        glRotated(360.0 * std::sin(k * t * kOneOver42), std::sin(t * kOneOver71) + 1.0, 0.0, 0.0);
        glRotated(360.0 * std::cos(k * t * kOneOver59), 0.0, std::sin(t * kOneOver61) + 1.0, 0.0);
        glRotated(360.0 * std::sin(k * t * kOneOver62), 0.0, 0.0, std::sin(t * kOneOver54) + 1.0);
        meshes.emitMesh1();
    }
    glPopMatrix();
}

void SceneRenderer::drawMeshCircleA(double scale, int copies, double rotX, double rotY,
                                    double rotZ) {
    drawCircleOfCopies(meshes, kCircleA, songTime, scale, copies, rotX, rotY, rotZ);
}

void SceneRenderer::drawMeshCircleB(double scale, int copies, double rotX, double rotY,
                                    double rotZ) {
    drawCircleOfCopies(meshes, kCircleB, songTime, scale, copies, rotX, rotY, rotZ);
}
