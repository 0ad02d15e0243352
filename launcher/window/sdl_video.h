// Starting SDL's video for the show's window: only on a driver that shows
// windows to a person, asking a display that did not answer again. Needs
// SDL2; used by the SDL window.
#pragma once

#include <string>

// True once SDL's video runs on a driver that shows windows. Without a
// display SDL finds no video device, or falls back to drivers that show
// nothing: a show nobody can see is no show, and error says so. Where a
// display is named and SDL chooses its own driver, a display that did not
// answer just then (a busy X server may refuse a connection) is asked again,
// four times over about a second.
bool startSdlVideo(std::string& error);
