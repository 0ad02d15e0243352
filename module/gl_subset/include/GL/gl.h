// OpenGL 1.1 as the GL subset offers it over OpenGL ES 3: the types, and the
// GL names of exactly the calls and constants the subset implements, mapped
// onto its own symbols (sorvanel_gl/sgl_api.h). A call or constant the subset
// lacks is not declared here, so code that needs one fails to build.
#pragma once

#include "sorvanel_gl/sgl_api.h"

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef signed char GLbyte;
typedef short GLshort;
typedef int GLint;
typedef unsigned char GLubyte;
typedef unsigned short GLushort;
typedef unsigned int GLuint;
typedef int GLsizei;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

#define GL_API SGL_API
#define GL_TRIANGLES SGL_TRIANGLES
#define GL_QUADS SGL_QUADS
#define GL_COMPILE SGL_COMPILE
#define GL_UNSIGNED_BYTE SGL_UNSIGNED_BYTE
#define GL_UNSIGNED_SHORT SGL_UNSIGNED_SHORT
#define GL_MODELVIEW SGL_MODELVIEW
#define GL_PROJECTION SGL_PROJECTION
#define GL_S SGL_S
#define GL_T SGL_T
#define GL_TEXTURE_GEN_MODE SGL_TEXTURE_GEN_MODE
#define GL_OBJECT_LINEAR SGL_OBJECT_LINEAR
#define GL_SPHERE_MAP SGL_SPHERE_MAP
#define GL_TEXTURE_GEN_S SGL_TEXTURE_GEN_S
#define GL_TEXTURE_GEN_T SGL_TEXTURE_GEN_T
#define GL_TEXTURE_2D SGL_TEXTURE_2D
#define GL_NORMALIZE SGL_NORMALIZE
#define GL_DEPTH_TEST SGL_DEPTH_TEST
#define GL_CULL_FACE SGL_CULL_FACE
#define GL_BLEND SGL_BLEND
#define GL_SCISSOR_TEST SGL_SCISSOR_TEST
#define GL_ZERO SGL_ZERO
#define GL_ONE SGL_ONE
#define GL_SRC_COLOR SGL_SRC_COLOR
#define GL_ONE_MINUS_SRC_COLOR SGL_ONE_MINUS_SRC_COLOR
#define GL_SRC_ALPHA SGL_SRC_ALPHA
#define GL_ONE_MINUS_SRC_ALPHA SGL_ONE_MINUS_SRC_ALPHA
#define GL_DST_ALPHA SGL_DST_ALPHA
#define GL_ONE_MINUS_DST_ALPHA SGL_ONE_MINUS_DST_ALPHA
#define GL_DST_COLOR SGL_DST_COLOR
#define GL_ONE_MINUS_DST_COLOR SGL_ONE_MINUS_DST_COLOR
#define GL_NEVER SGL_NEVER
#define GL_LESS SGL_LESS
#define GL_EQUAL SGL_EQUAL
#define GL_LEQUAL SGL_LEQUAL
#define GL_GREATER SGL_GREATER
#define GL_NOTEQUAL SGL_NOTEQUAL
#define GL_GEQUAL SGL_GEQUAL
#define GL_ALWAYS SGL_ALWAYS
#define GL_FRONT SGL_FRONT
#define GL_BACK SGL_BACK
#define GL_FRONT_AND_BACK SGL_FRONT_AND_BACK
#define GL_CW SGL_CW
#define GL_CCW SGL_CCW
#define GL_COLOR_BUFFER_BIT SGL_COLOR_BUFFER_BIT
#define GL_DEPTH_BUFFER_BIT SGL_DEPTH_BUFFER_BIT
#define GL_TEXTURE_MAG_FILTER SGL_TEXTURE_MAG_FILTER
#define GL_TEXTURE_MIN_FILTER SGL_TEXTURE_MIN_FILTER
#define GL_TEXTURE_WRAP_S SGL_TEXTURE_WRAP_S
#define GL_TEXTURE_WRAP_T SGL_TEXTURE_WRAP_T
#define GL_NEAREST SGL_NEAREST
#define GL_LINEAR SGL_LINEAR
#define GL_NEAREST_MIPMAP_NEAREST SGL_NEAREST_MIPMAP_NEAREST
#define GL_LINEAR_MIPMAP_NEAREST SGL_LINEAR_MIPMAP_NEAREST
#define GL_NEAREST_MIPMAP_LINEAR SGL_NEAREST_MIPMAP_LINEAR
#define GL_LINEAR_MIPMAP_LINEAR SGL_LINEAR_MIPMAP_LINEAR
#define GL_REPEAT SGL_REPEAT
#define GL_CLAMP_TO_EDGE SGL_CLAMP_TO_EDGE
#define GL_ALPHA SGL_ALPHA
#define GL_RGB SGL_RGB
#define GL_RGBA SGL_RGBA
#define GL_LUMINANCE SGL_LUMINANCE
#define GL_LUMINANCE_ALPHA SGL_LUMINANCE_ALPHA
#define GL_BGRA SGL_BGRA
#define GL_UNPACK_ALIGNMENT SGL_UNPACK_ALIGNMENT
#define GL_PACK_ALIGNMENT SGL_PACK_ALIGNMENT
#define GL_N3F_V3F SGL_N3F_V3F
#define GL_CLIENT_VERTEX_ARRAY_BIT SGL_CLIENT_VERTEX_ARRAY_BIT
#define GL_ARRAY_BUFFER SGL_ARRAY_BUFFER
#define GL_ELEMENT_ARRAY_BUFFER SGL_ELEMENT_ARRAY_BUFFER
#define GL_FRAMEBUFFER SGL_FRAMEBUFFER
#define GL_READ_FRAMEBUFFER SGL_READ_FRAMEBUFFER
#define GL_DRAW_FRAMEBUFFER SGL_DRAW_FRAMEBUFFER
#define GL_RENDERBUFFER SGL_RENDERBUFFER
#define GL_COLOR_ATTACHMENT0 SGL_COLOR_ATTACHMENT0
#define GL_FRAMEBUFFER_COMPLETE SGL_FRAMEBUFFER_COMPLETE
#define GL_RGB8 SGL_RGB8
#define GL_RGBA8 SGL_RGBA8
#define GL_CURRENT_COLOR SGL_CURRENT_COLOR
#define GL_CURRENT_NORMAL SGL_CURRENT_NORMAL
#define GL_CURRENT_TEXTURE_COORDS SGL_CURRENT_TEXTURE_COORDS
#define GL_MODELVIEW_MATRIX SGL_MODELVIEW_MATRIX
#define GL_PROJECTION_MATRIX SGL_PROJECTION_MATRIX
#define GL_COLOR_CLEAR_VALUE SGL_COLOR_CLEAR_VALUE
#define GL_TEXTURE_BINDING_2D SGL_TEXTURE_BINDING_2D
#define GL_FALSE SGL_FALSE
#define GL_TRUE SGL_TRUE

#define glBegin sgl_Begin
#define glEnd sgl_End
#define glVertex3f sgl_Vertex3f
#define glVertex3d sgl_Vertex3d
#define glNormal3f sgl_Normal3f
#define glNormal3d sgl_Normal3d
#define glTexCoord2f sgl_TexCoord2f
#define glColor3f sgl_Color3f
#define glGenLists sgl_GenLists
#define glNewList sgl_NewList
#define glEndList sgl_EndList
#define glCallList sgl_CallList
#define glCallLists sgl_CallLists
#define glListBase sgl_ListBase
#define glDeleteLists sgl_DeleteLists
#define glIsList sgl_IsList
#define glMatrixMode sgl_MatrixMode
#define glLoadIdentity sgl_LoadIdentity
#define glFrustum sgl_Frustum
#define glRotated sgl_Rotated
#define glRotatef sgl_Rotatef
#define glTranslated sgl_Translated
#define glScaled sgl_Scaled
#define glScalef sgl_Scalef
#define glPushMatrix sgl_PushMatrix
#define glPopMatrix sgl_PopMatrix
#define glTexGeni sgl_TexGeni
#define glEnable sgl_Enable
#define glDisable sgl_Disable
#define glIsEnabled sgl_IsEnabled
#define glBlendFunc sgl_BlendFunc
#define glDepthFunc sgl_DepthFunc
#define glCullFace sgl_CullFace
#define glFrontFace sgl_FrontFace
#define glGenTextures sgl_GenTextures
#define glBindTexture sgl_BindTexture
#define glDeleteTextures sgl_DeleteTextures
#define glTexParameterf sgl_TexParameterf
#define glTexParameteri sgl_TexParameteri
#define glTexImage2D sgl_TexImage2D
#define glInterleavedArrays sgl_InterleavedArrays
#define glDrawElements sgl_DrawElements
#define glPushClientAttrib sgl_PushClientAttrib
#define glPopClientAttrib sgl_PopClientAttrib
#define glBindBuffer sgl_BindBuffer
#define glGenFramebuffers sgl_GenFramebuffers
#define glDeleteFramebuffers sgl_DeleteFramebuffers
#define glBindFramebuffer sgl_BindFramebuffer
#define glGenRenderbuffers sgl_GenRenderbuffers
#define glDeleteRenderbuffers sgl_DeleteRenderbuffers
#define glBindRenderbuffer sgl_BindRenderbuffer
#define glRenderbufferStorage sgl_RenderbufferStorage
#define glFramebufferRenderbuffer sgl_FramebufferRenderbuffer
#define glFramebufferTexture2D sgl_FramebufferTexture2D
#define glCheckFramebufferStatus sgl_CheckFramebufferStatus
#define glBlitFramebuffer sgl_BlitFramebuffer
#define glViewport sgl_Viewport
#define glScissor sgl_Scissor
#define glClear sgl_Clear
#define glClearColor sgl_ClearColor
#define glPixelStorei sgl_PixelStorei
#define glReadPixels sgl_ReadPixels
#define glGetIntegerv sgl_GetIntegerv
#define glGetFloatv sgl_GetFloatv
#define glFinish sgl_Finish
