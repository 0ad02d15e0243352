// Extruded 3D text from display lists, one list per byte code.
// createFont builds the 256 lists (255 glyphs, the last list stays empty);
// draw lays out the current text under position, scale and rotation.
#pragma once

#include <GL/gl.h>

class OutlineText {
public:
    OutlineText() = default;
    OutlineText(const OutlineText&) = delete;
    OutlineText& operator=(const OutlineText&) = delete;
    // Deletes the lists only when they were built and a GL context is current.
    virtual ~OutlineText();

    // deviceContext is the host's window handle; faceName is matched by the font layer.
    void createFont(void* deviceContext, const char* faceName, float extrusionDepth);
    void setText(const char* s);
    void draw();

    float depth = 0.1f;
    GLuint listBase = 0;
    double position[3] = {0.0, 0.0, 0.0};
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation[3] = {0.0, 0.0, 0.0};
    char* text = nullptr;
    int length = 0;
};
