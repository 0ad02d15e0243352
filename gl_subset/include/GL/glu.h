// The one GLU call the show makes, as the GL subset offers it: mipmaps built
// level by level exactly as the system's GLU builds them. No tessellator.
#pragma once

#include <GL/gl.h>

#define GLU_INVALID_ENUM SGLU_INVALID_ENUM
#define GLU_INVALID_VALUE SGLU_INVALID_VALUE
#define GLU_OUT_OF_MEMORY SGLU_OUT_OF_MEMORY

#define gluBuild2DMipmaps sglu_Build2DMipmaps
