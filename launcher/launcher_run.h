// The launcher's whole run after main: reads the options and the module name,
// then hands over to the application (the settings dialog or a direct start
// of the show), to the headless capture and shot modes, or to the listing.
#pragma once

// Returns the exit status: 0, 1 when the show, capture or shot failed, 2 for
// a command line that cannot be used, 130 for an interrupted capture.
int runLauncher(int argc, char** argv);
