// The sprite burst: 30 squares sharing one centre, each turning by its own
// angle, growing per draw, fading over the last unit of its life and reborn
// with new random values from the burst's own generator.
#include "effects/sprite_burst.h"

#include <GL/gl.h>

#include "effects/scene_renderer.h"

SpriteBurst::SpriteBurst() {
    // Seven draws per particle, the age last: ages of 3 to 4 lie beyond every
    // lifetime, so the first draw shows 30 black squares and rebirths them all.
    for (int i = 0; i < kParticleCount; ++i) {
        respawn(i);
        age[i] = random.upTo(1.0f) + 3.0f;
    }
}

void SpriteBurst::respawn(int i) {
    age[i] = 0.0f;
    angle[i] = random.upTo(360.0f);
    red[i] = random.upTo(1.0f);
    green[i] = random.upTo(1.0f);
    blue[i] = random.upTo(1.0f);
    speed[i] = static_cast<float>(random.upTo(0.3f) + 0.1);
    lifetime[i] = random.upTo(1.0f) + 1.0f;
}

void SpriteBurst::drawParticle(int i) {
    float fade = 1.0f;
    glPushMatrix();
    // The age is also the square's half-size.
    glScalef(age[i], age[i], age[i]);
    if (age[i] > lifetime[i] - 1.0f) fade = lifetime[i] - age[i];
    glRotatef(angle[i], 1.0f, 0.0f, 0.0f);
    glRotatef(angle[i], 0.0f, 1.0f, 0.0f);
    glRotatef(angle[i], 0.0f, 0.0f, 1.0f);
    // A negative fade (a particle past its lifetime) is clamped to black by GL.
    glColor3f(fade * red[i], fade * green[i], fade * blue[i]);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
    advance(i);
    glPopMatrix();
}

void SpriteBurst::advance(int i) {
    // Ageing is per draw, so it follows the frame rate.
    age[i] = static_cast<float>(speed[i] * 0.05 + age[i]);
    if (age[i] > lifetime[i]) respawn(i);
}

void SpriteBurst::advanceAll() {
    for (int i = 0; i < count(); ++i) advance(i);
}

void SceneRenderer::drawSpriteBurst(double rotX, double rotY, double rotZ, double z) {
    glPushMatrix();
    glScalef(8.0f, 8.0f, 8.0f);
    // After the scale: z = -2 puts the centre 16 units in front of the eye.
    glTranslated(0.0, 0.0, z);
    glRotated(rotX, 1.0, 0.0, 0.0);
    glRotated(rotY, 0.0, 1.0, 0.0);
    glRotated(rotZ, 0.0, 0.0, 1.0);
    for (int i = 0; i < sprites.count(); ++i) sprites.drawParticle(i);
    glPopMatrix();
}
