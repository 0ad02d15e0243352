// The keys the live show knows, whatever the window system calls them.
#pragma once

enum class ShowKey { Other, Space, Left, Right, PageUp, PageDown, Home, N, P };
