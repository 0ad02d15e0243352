// The show's window under X, driven and read with xdotool as a user would:
// keys typed into it and its title. Every call reports whether xdotool did it.
#pragma once

#include <string>

// Types key (an X keysym name such as "space" or "Escape") into the first
// window titled like name (a regular expression); true when xdotool found
// the window and sent the key.
bool sendKeyTo(const std::string& name, const std::string& key);

// The title of the first window titled like name, without its newline;
// empty when there is none.
std::string windowTitle(const std::string& name);
