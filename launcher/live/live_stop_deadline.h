// Ctrl-C or SIGTERM during the live show: SDL turns them into a quit event
// that the frame loop reads between frames, so a module that never returns
// from Init, a frame or Done would keep the program running. Once armed,
// such a request also starts a 1.9 s timer: a program still running then
// ends there, saying which module call had not returned, status 130 (the
// live show leaves no files behind).
#pragma once

// Wraps the handlers in place (SDL's, once its events are started); safe to
// call more than once.
void armLiveStopDeadline();
