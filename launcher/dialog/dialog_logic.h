// What the settings dialog decides, without any toolkit: its members preset
// from the command line's show request, the list index and check boxes
// written into that request, and the start handler itself, which reaches the
// dialog and the presentation only through StartHost.
#pragma once

#include <string>

#include "host/show_request.h"
#include "live/presentation.h"
#include "options/resolutions.h"

// LauncherDialog's members: the module name (no control shows it) and the
// states of the list and the two check boxes.
// A size from the command line that is not one of the six: the list offers
// it as a seventh entry (index kResolutionCount), selected.
struct ExtraResolution {
    bool present = false;
    int width = 0;  // kDesktopSize for the screen's own size
    int height = 0;
};

struct DialogSettings {
    std::string moduleName;
    int resolutionIndex = kDefaultResolutionIndex;  // "640 x 480"
    bool fullScreen = false;
    bool noSound = false;
    ExtraResolution extraResolution;
    // The show the command line asks for. The members above are preset from
    // it and written back into it at the start; the rest (start, shape,
    // viewing options, samples, audio offset) has no control and goes to
    // the show as it is.
    ShowRequest request;
};

// The dialog's font size in pixels on a screen of `dpi` dots per inch: 12
// up to 120 dpi, from there 12 x dpi / 96 (24 at 192 dpi), so that text,
// controls and window (measured in the font's units) keep their size on the
// screen. An unknown resolution (0 or less) gives 12.
int dialogFontSizeForDpi(double dpi);

// The list's text for the extra entry: "1280 x 720", or "Desktop".
std::string extraResolutionText(const ExtraResolution& extra);

// The controls' starting states: the command line's request presets them.
DialogSettings dialogSettingsFor(const ShowRequest& request);

// The request of one RunPresentation call: the settings' request with the
// module name and the controls' choices. Any list index outside the six,
// including no selection (-1), gives 640 x 480, but for the extra entry
// where there is one; sound is enabled unless "No Sound" is ticked.
ShowRequest showRequestFor(const DialogSettings& settings);

// The name that means no demo was chosen, compared byte by byte.
constexpr const char* kNoModuleSelectedName = "NO DMD SELECTED!";
constexpr const char* kNoModuleSelectedCaption = "Something got out of your mind.. ";
constexpr const char* kNoModuleSelectedText =
    "My name is not Psycho Mantis, so I cannot read your mind and know which demo you wonna see!";
bool isNoModuleSelected(const std::string& moduleName);

// Shown when the show could not start and the module left no reason.
constexpr const char* kUnknownStartFailure = "The show could not be started.";

// What the start handler needs of the dialog and of the presentation.
class StartHost {
  public:
    virtual ~StartHost() = default;
    // A message box owned by the dialog, with an exclamation mark and OK.
    virtual void showMessage(const char* caption, const char* text) = 0;
    virtual void hideDialog() = 0;
    // RunPresentation; messageBuffer is 256 zero bytes. The request's
    // onShown hides the dialog (hideDialog) once the show's window is on
    // screen, so a show that cannot load leaves the dialog behind its
    // message. Returns 1 after a show, 0 when it could not start,
    // kStartRefused when the request does not fit the module; the buffer
    // then says why.
    virtual int runPresentation(const ShowRequest& request, char* messageBuffer) = 0;
    // The show could not start; reason is never empty.
    virtual void reportStartFailure(const std::string& reason) = 0;
};

enum class StartOutcome {
    DialogStaysOpen,  // "NO DMD SELECTED!": the message was shown, nothing started
    ShowEnded,        // the show ran and ended; the dialog ends
    StartFailed,      // the show could not start, the reason was reported; the dialog ends
    StartRefused,     // the request does not fit the module (a start past its end); as above
};

// The start handler: the button, Esc and a close request all come here.
StartOutcome startShow(const DialogSettings& settings, StartHost& host);

// The program's exit status after a start: 0 after a show, 2 for a request
// that does not fit the module, 1 otherwise.
int exitStatusFor(StartOutcome outcome);

// The line a failed start writes to stderr: the reason, then in brackets
// what the loader or the module said beyond it, when there is something.
std::string startFailureLines(const std::string& reason, const std::string& detail);
