// Implements LauncherDialog over FLTK 1.3 on X11: the controls laid out from
// the template by the font's measurements, the data exchange and the start
// handler's host (message box, hiding, the presentation).
#include "dialog/launcher_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "dialog/dialog_template.h"
#include "dialog/dialog_widgets.h"
#include "dialog/window_icon.h"
#include "host/show_host.h"
#include "live/presentation.h"
#include "options/resolutions.h"

namespace {

// FLTK's sans-serif face, at a size chosen by the screen's resolution
// (dialogFontSizeForDpi).
constexpr Fl_Font kFont = FL_HELVETICA;

// The X screen's resolution: Xft.dpi where the desktop sets it (as scaling
// settings do), else the screen's pixels against its millimetres.
double screenDpi() {
    if (fl_display == nullptr) return 0.0;
    if (const char* xft = XGetDefault(fl_display, "Xft", "dpi")) {
        const double dpi = std::atof(xft);
        if (dpi > 0.0) return dpi;
    }
    const int screen = DefaultScreen(fl_display);
    const int mm = DisplayWidthMM(fl_display, screen);
    return mm > 0 ? DisplayWidth(fl_display, screen) * 25.4 / mm : 0.0;
}

// The font's base units at fontSize; the dialog's message boxes take that
// size too.
dialog_template::BaseUnits measureBaseUnits(Fl_Fontsize fontSize) {
    fl_message_font(kFont, fontSize);
    fl_font(kFont, fontSize);
    return dialog_template::baseUnitsFromFont(
        fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"), fl_height());
}

void setWindowIcons(Fl_Double_Window& window) {
    const Fl_RGB_Image icon16(kWindowIcon16, 16, 16, 4);
    const Fl_RGB_Image icon32(kWindowIcon32, 32, 32, 4);
    const Fl_RGB_Image icon48(kWindowIcon48, 48, 48, 4);
    const Fl_RGB_Image* icons[] = {&icon16, &icon32, &icon48};
    window.icons(icons, 3);  // copies the pictures
}

}  // namespace

bool LauncherDialog::openDisplay() {
    if (fl_display != nullptr) return true;
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == 0) return false;
    // FLTK ends the program when it cannot open a display itself, so open it
    // here and hand FLTK the connection. An X server under a burst of new
    // clients sometimes drops one before its greeting: try three times.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (Display* display = XOpenDisplay(nullptr)) {
            fl_open_display(display);
            return true;
        }
    }
    return false;
}

LauncherDialog::LauncherDialog(const DialogSettings& presets, PresentationFn presentation)
    : settings_(presets), presentation_(presentation) {
    buildControls();
}

LauncherDialog::~LauncherDialog() = default;

void LauncherDialog::buildControls() {
    using namespace dialog_template;
    const auto fontSize = static_cast<Fl_Fontsize>(dialogFontSizeForDpi(screenDpi()));
    const BaseUnits units = measureBaseUnits(fontSize);
    const PixelRect size = toPixels(kDialogRect, units);

    // Placed at (0, 0), as the template asks; not resizable.
    window_ = std::make_unique<Fl_Double_Window>(0, 0, size.width, size.height, kCaption);
    window_->labelsize(fontSize);
    window_->callback(startCallback, this);  // Esc and a close request start the show
    // Children go in template order, which is the Tab order.
    for (const Control& c : kControls) {
        PixelRect r = toPixels(c.rect, units);
        switch (c.kind) {
            case ControlKind::DropDownList: {
                r.height = toPixels({0, 0, 0, kDropDownClosedHeight}, units).height;
                resolutionList_ = new DropDownList(r.x, r.y, r.width, r.height);
                resolutionList_->textfont(kFont);
                resolutionList_->textsize(fontSize);
                break;
            }
            case ControlKind::CheckBox: {
                auto* check = new Fl_Check_Button(r.x, r.y, r.width, r.height, c.caption);
                check->labelsize(fontSize);
                (c.id == kFullScreenCheckId ? fullScreenCheck_ : noSoundCheck_) = check;
                break;
            }
            case ControlKind::PushButton: {
                auto* button = new DialogButton(r.x, r.y, r.width, r.height, c.caption,
                                                c.id == defaultButtonId());
                button->labelsize(fontSize);
                if (c.id == kStartButtonId) {
                    button->callback(startCallback, this);
                    startButton_ = button;
                } else {
                    button->callback(leaveCallback, this);
                    leaveButton_ = button;
                }
                break;
            }
            case ControlKind::GroupBox: {
                auto* frame = new GroupFrame(r.x, r.y, r.width, r.height, c.caption);
                frame->labelsize(fontSize);
                break;
            }
        }
    }
    window_->end();
    setWindowIcons(*window_);
}

void LauncherDialog::OnInitDialog() {
    resolutionList_->clear();
    for (const Resolution& r : kResolutions) resolutionList_->add(r.text);
    if (settings_.extraResolution.present) {
        extraResolutionText_ = extraResolutionText(settings_.extraResolution);
        // Added by name: FLTK would read a '/' or '&' in a label as menu syntax.
        resolutionList_->add("extra");
        resolutionList_->replace(kResolutionCount, extraResolutionText_.c_str());
    }
    resolutionList_->value(kDefaultResolutionIndex);
    DoDataExchange(false);
}

void LauncherDialog::DoDataExchange(bool saveAndValidate) {
    if (saveAndValidate) {
        settings_.fullScreen = fullScreenCheck_->value() != 0;
        settings_.noSound = noSoundCheck_->value() != 0;
        settings_.resolutionIndex = resolutionList_->value();
    } else {
        fullScreenCheck_->value(settings_.fullScreen ? 1 : 0);
        noSoundCheck_->value(settings_.noSound ? 1 : 0);
        // A preset outside the list leaves the selection as it is.
        const int entries = kResolutionCount + (settings_.extraResolution.present ? 1 : 0);
        if (settings_.resolutionIndex >= 0 && settings_.resolutionIndex < entries) {
            resolutionList_->value(settings_.resolutionIndex);
        }
    }
}

LauncherDialog::Result LauncherDialog::runUntilEnded() {
    ended_ = false;
    OnInitDialog();
    window_->show();
    // The first control that takes focus has it.
    resolutionList_->take_focus();
    while (!ended_ && window_->shown()) Fl::wait();
    return result_;
}

void LauncherDialog::onStart() {
    DoDataExchange(true);
    switch (startShow(settings_, *this)) {
        case StartOutcome::DialogStaysOpen:
            break;
        case StartOutcome::ShowEnded:
            endDialog(Result::ShowEnded);
            break;
        case StartOutcome::StartFailed:
        case StartOutcome::StartRefused:
            endDialog(Result::StartFailed);
            break;
    }
}

void LauncherDialog::onLeave() {
    endDialog(Result::Left);
}

void LauncherDialog::endDialog(Result result) {
    result_ = result;
    ended_ = true;
    window_->hide();
}

void LauncherDialog::showMessage(const char* caption, const char* text) {
    const char* closeLabel = fl_close;
    fl_close = "OK";
    fl_message_title(caption);
    fl_alert("%s", text);
    fl_close = closeLabel;
}

void LauncherDialog::hideDialog() {
    window_->hide();
    Fl::flush();
}

int LauncherDialog::runPresentation(const ShowRequest& request, char* messageBuffer) {
    return presentation_(request, messageBuffer);
}

void LauncherDialog::reportStartFailure(const std::string& reason) {
    std::fputs(startFailureLines(reason, startFailureDetail()).c_str(), stderr);
    showMessage(dialog_template::kCaption, reason.c_str());
}

void LauncherDialog::startCallback(Fl_Widget*, void* dialog) {
    static_cast<LauncherDialog*>(dialog)->onStart();
}

void LauncherDialog::leaveCallback(Fl_Widget*, void* dialog) {
    static_cast<LauncherDialog*>(dialog)->onLeave();
}
