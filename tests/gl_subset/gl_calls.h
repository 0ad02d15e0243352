// The GL calls the subset implements, as a table of functions: one table
// points at the system's OpenGL and GLU, the other at the subset, so a test
// can draw the same scene through each (on a context of each kind).
#pragma once

#include <GL/gl.h>

#include "sorvanel_gl/sgl_api.h"

struct GlCalls {
    const char* name;
    void (*Begin)(unsigned int);
    void (*End)();
    void (*Vertex3f)(float, float, float);
    void (*Vertex3d)(double, double, double);
    void (*Normal3f)(float, float, float);
    void (*Normal3d)(double, double, double);
    void (*TexCoord2f)(float, float);
    void (*Color3f)(float, float, float);
    unsigned int (*GenLists)(int);
    void (*NewList)(unsigned int, unsigned int);
    void (*EndList)();
    void (*CallList)(unsigned int);
    void (*CallLists)(int, unsigned int, const void*);
    void (*ListBase)(unsigned int);
    void (*DeleteLists)(unsigned int, int);
    unsigned char (*IsList)(unsigned int);
    void (*MatrixMode)(unsigned int);
    void (*LoadIdentity)();
    void (*Frustum)(double, double, double, double, double, double);
    void (*Rotated)(double, double, double, double);
    void (*Rotatef)(float, float, float, float);
    void (*Translated)(double, double, double);
    void (*Scaled)(double, double, double);
    void (*Scalef)(float, float, float);
    void (*PushMatrix)();
    void (*PopMatrix)();
    void (*TexGeni)(unsigned int, unsigned int, int);
    void (*Enable)(unsigned int);
    void (*Disable)(unsigned int);
    unsigned char (*IsEnabled)(unsigned int);
    void (*BlendFunc)(unsigned int, unsigned int);
    void (*DepthFunc)(unsigned int);
    void (*CullFace)(unsigned int);
    void (*FrontFace)(unsigned int);
    void (*GenTextures)(int, unsigned int*);
    void (*BindTexture)(unsigned int, unsigned int);
    void (*DeleteTextures)(int, const unsigned int*);
    void (*TexParameterf)(unsigned int, unsigned int, float);
    void (*TexParameteri)(unsigned int, unsigned int, int);
    void (*TexImage2D)(unsigned int, int, int, int, int, int, unsigned int, unsigned int,
                       const void*);
    int (*Build2DMipmaps)(unsigned int, int, int, int, unsigned int, unsigned int, const void*);
    void (*InterleavedArrays)(unsigned int, int, const void*);
    void (*DrawElements)(unsigned int, int, unsigned int, const void*);
    void (*PushClientAttrib)(unsigned int);
    void (*PopClientAttrib)();
    void (*BindBuffer)(unsigned int, unsigned int);
    void (*GenFramebuffers)(int, unsigned int*);
    void (*DeleteFramebuffers)(int, const unsigned int*);
    void (*BindFramebuffer)(unsigned int, unsigned int);
    void (*GenRenderbuffers)(int, unsigned int*);
    void (*DeleteRenderbuffers)(int, const unsigned int*);
    void (*BindRenderbuffer)(unsigned int, unsigned int);
    void (*RenderbufferStorage)(unsigned int, unsigned int, int, int);
    void (*FramebufferRenderbuffer)(unsigned int, unsigned int, unsigned int, unsigned int);
    void (*FramebufferTexture2D)(unsigned int, unsigned int, unsigned int, unsigned int, int);
    unsigned int (*CheckFramebufferStatus)(unsigned int);
    void (*BlitFramebuffer)(int, int, int, int, int, int, int, int, unsigned int, unsigned int);
    void (*Viewport)(int, int, int, int);
    void (*Scissor)(int, int, int, int);
    void (*Clear)(unsigned int);
    void (*ClearColor)(float, float, float, float);
    void (*PixelStorei)(unsigned int, int);
    void (*ReadPixels)(int, int, int, int, unsigned int, unsigned int, void*);
    void (*GetIntegerv)(unsigned int, int*);
    void (*GetFloatv)(unsigned int, float*);
    void (*Finish)();
};

extern const GlCalls kDesktopGl;
extern const GlCalls kSubsetGl;
