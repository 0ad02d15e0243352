// The GL subset's own entry points and constants: the OpenGL 1.1 calls the
// show and its host make, under names of their own (sgl_...), so that they
// never meet the OpenGL ES library's symbols in one process. GL/gl.h and
// GL/glu.h beside this folder map the GL names onto these. The constants have
// the values of the desktop GL headers (a test compares them).
#pragma once

#include <stddef.h>

#if defined(__GNUC__)
#define SGL_API __attribute__((visibility("default")))
#else
#define SGL_API
#endif

// Primitives, lists and index types.
#define SGL_TRIANGLES 0x0004
#define SGL_QUADS 0x0007
#define SGL_COMPILE 0x1300
#define SGL_UNSIGNED_BYTE 0x1401
#define SGL_UNSIGNED_SHORT 0x1403
// Matrices.
#define SGL_MODELVIEW 0x1700
#define SGL_PROJECTION 0x1701
// Texture-coordinate generation.
#define SGL_S 0x2000
#define SGL_T 0x2001
#define SGL_TEXTURE_GEN_MODE 0x2500
#define SGL_OBJECT_LINEAR 0x2401
#define SGL_SPHERE_MAP 0x2402
#define SGL_TEXTURE_GEN_S 0x0C60
#define SGL_TEXTURE_GEN_T 0x0C61
// Capabilities.
#define SGL_TEXTURE_2D 0x0DE1
#define SGL_NORMALIZE 0x0BA1
#define SGL_DEPTH_TEST 0x0B71
#define SGL_CULL_FACE 0x0B44
#define SGL_BLEND 0x0BE2
#define SGL_SCISSOR_TEST 0x0C11
// Blend factors, depth functions, faces.
#define SGL_ZERO 0
#define SGL_ONE 1
#define SGL_SRC_COLOR 0x0300
#define SGL_ONE_MINUS_SRC_COLOR 0x0301
#define SGL_SRC_ALPHA 0x0302
#define SGL_ONE_MINUS_SRC_ALPHA 0x0303
#define SGL_DST_ALPHA 0x0304
#define SGL_ONE_MINUS_DST_ALPHA 0x0305
#define SGL_DST_COLOR 0x0306
#define SGL_ONE_MINUS_DST_COLOR 0x0307
#define SGL_NEVER 0x0200
#define SGL_LESS 0x0201
#define SGL_EQUAL 0x0202
#define SGL_LEQUAL 0x0203
#define SGL_GREATER 0x0204
#define SGL_NOTEQUAL 0x0205
#define SGL_GEQUAL 0x0206
#define SGL_ALWAYS 0x0207
#define SGL_FRONT 0x0404
#define SGL_BACK 0x0405
#define SGL_FRONT_AND_BACK 0x0408
#define SGL_CW 0x0900
#define SGL_CCW 0x0901
#define SGL_COLOR_BUFFER_BIT 0x00004000
#define SGL_DEPTH_BUFFER_BIT 0x00000100
// Textures and pixels.
#define SGL_TEXTURE_MAG_FILTER 0x2800
#define SGL_TEXTURE_MIN_FILTER 0x2801
#define SGL_TEXTURE_WRAP_S 0x2802
#define SGL_TEXTURE_WRAP_T 0x2803
#define SGL_NEAREST 0x2600
#define SGL_LINEAR 0x2601
#define SGL_NEAREST_MIPMAP_NEAREST 0x2700
#define SGL_LINEAR_MIPMAP_NEAREST 0x2701
#define SGL_NEAREST_MIPMAP_LINEAR 0x2702
#define SGL_LINEAR_MIPMAP_LINEAR 0x2703
#define SGL_REPEAT 0x2901
#define SGL_CLAMP_TO_EDGE 0x812F
#define SGL_ALPHA 0x1906
#define SGL_RGB 0x1907
#define SGL_RGBA 0x1908
#define SGL_LUMINANCE 0x1909
#define SGL_LUMINANCE_ALPHA 0x190A
#define SGL_BGRA 0x80E1
#define SGL_UNPACK_ALIGNMENT 0x0CF5
#define SGL_PACK_ALIGNMENT 0x0D05
// Vertex arrays.
#define SGL_N3F_V3F 0x2A25
#define SGL_CLIENT_VERTEX_ARRAY_BIT 0x00000002
#define SGL_ARRAY_BUFFER 0x8892
#define SGL_ELEMENT_ARRAY_BUFFER 0x8893
// Framebuffer objects, as ES 3.0 has them (the host's picture copies).
#define SGL_FRAMEBUFFER 0x8D40
#define SGL_READ_FRAMEBUFFER 0x8CA8
#define SGL_DRAW_FRAMEBUFFER 0x8CA9
#define SGL_RENDERBUFFER 0x8D41
#define SGL_COLOR_ATTACHMENT0 0x8CE0
#define SGL_FRAMEBUFFER_COMPLETE 0x8CD5
#define SGL_RGB8 0x8051
#define SGL_RGBA8 0x8058
#define SGL_DEPTH_COMPONENT16 0x81A5
#define SGL_DEPTH_COMPONENT24 0x81A6
#define SGL_DEPTH_ATTACHMENT 0x8D00
// Multisampled renderbuffers (smooth edges offscreen).
#define SGL_SAMPLES 0x80A9
#define SGL_MAX_SAMPLES 0x8D57
#define SGL_MAX_RENDERBUFFER_SIZE 0x84E8
#define SGL_MAX_VIEWPORT_DIMS 0x0D3A
// Queries.
#define SGL_CURRENT_COLOR 0x0B00
#define SGL_CURRENT_NORMAL 0x0B02
#define SGL_CURRENT_TEXTURE_COORDS 0x0B03
#define SGL_MODELVIEW_MATRIX 0x0BA6
#define SGL_PROJECTION_MATRIX 0x0BA7
#define SGL_COLOR_CLEAR_VALUE 0x0C22
#define SGL_TEXTURE_BINDING_2D 0x8069
#define SGL_FALSE 0
#define SGL_TRUE 1
// gluBuild2DMipmaps' failures.
#define SGLU_INVALID_ENUM 100900
#define SGLU_INVALID_VALUE 100901
#define SGLU_OUT_OF_MEMORY 100902

#ifdef __cplusplus
extern "C" {
#endif

// Immediate mode: GL_TRIANGLES and GL_QUADS.
SGL_API void sgl_Begin(unsigned int mode);
SGL_API void sgl_End(void);
SGL_API void sgl_Vertex3f(float x, float y, float z);
SGL_API void sgl_Vertex3d(double x, double y, double z);
SGL_API void sgl_Normal3f(float x, float y, float z);
SGL_API void sgl_Normal3d(double x, double y, double z);
SGL_API void sgl_TexCoord2f(float s, float t);
SGL_API void sgl_Color3f(float red, float green, float blue);

// Display lists (GL_COMPILE).
SGL_API unsigned int sgl_GenLists(int range);
SGL_API void sgl_NewList(unsigned int list, unsigned int mode);
SGL_API void sgl_EndList(void);
SGL_API void sgl_CallList(unsigned int list);
SGL_API void sgl_CallLists(int count, unsigned int type, const void* lists);
SGL_API void sgl_ListBase(unsigned int base);
SGL_API void sgl_DeleteLists(unsigned int list, int range);
SGL_API unsigned char sgl_IsList(unsigned int list);

// The projection and model-view matrix stacks.
SGL_API void sgl_MatrixMode(unsigned int mode);
SGL_API void sgl_LoadIdentity(void);
SGL_API void sgl_Frustum(double left, double right, double bottom, double top, double nearVal,
                         double farVal);
SGL_API void sgl_Rotated(double angle, double x, double y, double z);
SGL_API void sgl_Rotatef(float angle, float x, float y, float z);
SGL_API void sgl_Translated(double x, double y, double z);
SGL_API void sgl_Scaled(double x, double y, double z);
SGL_API void sgl_Scalef(float x, float y, float z);
SGL_API void sgl_PushMatrix(void);
SGL_API void sgl_PopMatrix(void);

// Fixed-function state.
SGL_API void sgl_TexGeni(unsigned int coord, unsigned int pname, int param);
SGL_API void sgl_Enable(unsigned int cap);
SGL_API void sgl_Disable(unsigned int cap);
SGL_API unsigned char sgl_IsEnabled(unsigned int cap);
SGL_API void sgl_BlendFunc(unsigned int sfactor, unsigned int dfactor);
SGL_API void sgl_DepthFunc(unsigned int func);
SGL_API void sgl_CullFace(unsigned int mode);
SGL_API void sgl_FrontFace(unsigned int mode);

// Textures (unit 0, GL_TEXTURE_2D, GL_MODULATE).
SGL_API void sgl_GenTextures(int n, unsigned int* textures);
SGL_API void sgl_BindTexture(unsigned int target, unsigned int texture);
SGL_API void sgl_DeleteTextures(int n, const unsigned int* textures);
SGL_API void sgl_TexParameterf(unsigned int target, unsigned int pname, float param);
SGL_API void sgl_TexParameteri(unsigned int target, unsigned int pname, int param);
SGL_API void sgl_TexImage2D(unsigned int target, int level, int internalFormat, int width,
                            int height, int border, unsigned int format, unsigned int type,
                            const void* pixels);
SGL_API int sglu_Build2DMipmaps(unsigned int target, int internalFormat, int width, int height,
                                unsigned int format, unsigned int type, const void* data);

// Vertex arrays from client memory (GL_N3F_V3F). The arrays are taken to be
// static: their buffers are kept by address, so an array must not change
// while it is drawn from.
SGL_API void sgl_InterleavedArrays(unsigned int format, int stride, const void* pointer);
SGL_API void sgl_DrawElements(unsigned int mode, int count, unsigned int type, const void* indices);
SGL_API void sgl_PushClientAttrib(unsigned int mask);
SGL_API void sgl_PopClientAttrib(void);
SGL_API void sgl_BindBuffer(unsigned int target, unsigned int buffer);

// Framebuffer and renderbuffer objects: ES 3.0's own, run at once (never
// compiled into a list).
SGL_API void sgl_GenFramebuffers(int n, unsigned int* framebuffers);
SGL_API void sgl_DeleteFramebuffers(int n, const unsigned int* framebuffers);
SGL_API void sgl_BindFramebuffer(unsigned int target, unsigned int framebuffer);
// Not GL's: framebuffer 0 stands for `framebuffer` from now on (and is
// bound), so everything drawn for the window goes there; the surface that
// set it presents it. 0 gives the platform's own back. For the web canvas,
// whose own depth buffer is deeper than the native show's 16 bits.
SGL_API void sgl_SetWindowFramebuffer(unsigned int framebuffer);
SGL_API void sgl_GenRenderbuffers(int n, unsigned int* renderbuffers);
SGL_API void sgl_DeleteRenderbuffers(int n, const unsigned int* renderbuffers);
SGL_API void sgl_BindRenderbuffer(unsigned int target, unsigned int renderbuffer);
SGL_API void sgl_RenderbufferStorage(unsigned int target, unsigned int internalFormat, int width,
                                     int height);
SGL_API void sgl_RenderbufferStorageMultisample(unsigned int target, int samples,
                                                unsigned int internalFormat, int width,
                                                int height);
SGL_API void sgl_FramebufferRenderbuffer(unsigned int target, unsigned int attachment,
                                         unsigned int renderbufferTarget,
                                         unsigned int renderbuffer);
SGL_API void sgl_FramebufferTexture2D(unsigned int target, unsigned int attachment,
                                      unsigned int textureTarget, unsigned int texture, int level);
SGL_API unsigned int sgl_CheckFramebufferStatus(unsigned int target);
SGL_API void sgl_BlitFramebuffer(int srcX0, int srcY0, int srcX1, int srcY1, int dstX0, int dstY0,
                                 int dstX1, int dstY1, unsigned int mask, unsigned int filter);

// Frame buffer, pixels and queries.
SGL_API void sgl_Viewport(int x, int y, int width, int height);
SGL_API void sgl_Scissor(int x, int y, int width, int height);
SGL_API void sgl_Clear(unsigned int mask);
SGL_API void sgl_ClearColor(float red, float green, float blue, float alpha);
SGL_API void sgl_PixelStorei(unsigned int pname, int param);
SGL_API void sgl_ReadPixels(int x, int y, int width, int height, unsigned int format,
                            unsigned int type, void* pixels);
SGL_API void sgl_GetIntegerv(unsigned int pname, int* params);
SGL_API void sgl_GetFloatv(unsigned int pname, float* params);
SGL_API void sgl_Finish(void);

#ifdef __cplusplus
}
#endif
