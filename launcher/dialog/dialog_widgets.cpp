// Implements the dialog's controls over FLTK widgets.
#include "dialog/dialog_widgets.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>

namespace {

bool isPlainEnter() {
    const int key = Fl::event_key();
    return (key == FL_Enter || key == FL_KP_Enter) &&
           (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0;
}

}  // namespace

DialogButton::DialogButton(int x, int y, int width, int height, const char* label, bool isDefault)
    : Fl_Button(x, y, width, height, label), isDefault_(isDefault) {}

int DialogButton::handle(int event) {
    const bool focused = event == FL_KEYBOARD && Fl::focus() == this;
    const bool asDefault = event == FL_SHORTCUT && isDefault_;
    if ((focused || asDefault) && active_r() && isPlainEnter()) {
        do_callback();
        return 1;
    }
    return Fl_Button::handle(event);
}

void DialogButton::draw() {
    Fl_Button::draw();
    if (isDefault_) {
        fl_color(FL_FOREGROUND_COLOR);
        fl_rect(x(), y(), w(), h());
    }
}

DropDownList::DropDownList(int x, int y, int width, int height) : Fl_Choice(x, y, width, height) {}

int DropDownList::handle(int event) {
    if (event == FL_KEYBOARD && Fl::focus() == this &&
        (Fl::event_state() & (FL_SHIFT | FL_CTRL | FL_ALT | FL_META)) == 0) {
        const int count = size() - 1;  // size() counts the closing entry
        const int current = value();
        int next = current;
        switch (Fl::event_key()) {
            case FL_Up:
                next = current > 0 ? current - 1 : 0;
                break;
            case FL_Down:
                next = current < count - 1 ? current + 1 : count - 1;
                break;
            case FL_Home:
                next = 0;
                break;
            case FL_End:
                next = count - 1;
                break;
            default:
                return Fl_Choice::handle(event);
        }
        if (count > 0 && next != current) {
            value(next);
            redraw();
        }
        return 1;
    }
    return Fl_Choice::handle(event);
}

GroupFrame::GroupFrame(int x, int y, int width, int height, const char* label)
    : Fl_Widget(x, y, width, height, label) {
    align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
    box(FL_ENGRAVED_FRAME);
}

void GroupFrame::draw() {
    fl_font(labelfont(), labelsize());
    const int textHeight = fl_height();
    const int textWidth = static_cast<int>(fl_width(label()));
    const int top = y() + textHeight / 2;
    draw_box(box(), x(), top, w(), h() - (top - y()), color());
    // The caption sits on the dialog's background over the top line.
    const int captionX = x() + 6;
    fl_color(parent() != nullptr ? parent()->color() : color());
    fl_rectf(captionX, y(), textWidth + 4, textHeight);
    draw_label(captionX + 2, y(), textWidth, textHeight, align());
}
