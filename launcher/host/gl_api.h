// The kinds of OpenGL context the launcher makes, and the one this build's
// show draws with (show_gl_api.h, generated from SORVANEL_GL): a desktop
// OpenGL 2.1 compatibility context, or an OpenGL ES 3.0 context for the show
// built on the GL subset.
#pragma once

enum class GlApi { Desktop21, Es30 };
