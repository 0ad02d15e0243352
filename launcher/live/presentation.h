// The show's window and frame loop: loads the module, opens the OpenGL
// window, lets the module initialise behind a loading banner, and draws one
// frame per idle turn until the module ends the show or the user leaves. A
// driver over the show host with the SDL window as its surface.
#pragma once

#include "host/show_request.h"

// The show window's title.
constexpr const char* kShowWindowTitle = "Morrowen q7v Kessary";

// RunPresentation's answer to a start the module cannot give: a --start at
// or after the end the module tells before Init.
constexpr int kStartRefused = -1;

// Runs the show request asks for; its onShown is called once the window is
// on screen, before the module's Init. Returns 1 when it ran and ended, 0
// when it could not start, kStartRefused for a start past the show's end
// (nothing is opened); then messageBuffer (256 bytes) says why.
int RunPresentation(const ShowRequest& request, char* messageBuffer);
