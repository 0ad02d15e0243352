// Full screen under X11 without a window manager: SDL asks the window
// manager to make the window cover the screen, and with none running nothing
// happens, while SDL believes the window has the screen's size. This makes
// the X window really cover the area.
#pragma once

struct SDL_Window;

// Moves and resizes window to the root-window rectangle x, y, width, height
// where it does not cover it yet, and waits (up to a second) until the X
// server has done so. False when the window is not an X11 window or does not
// cover the area in the end.
bool coverX11Area(SDL_Window* window, int x, int y, int width, int height);
