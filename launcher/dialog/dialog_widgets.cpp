// Implements the dialog's controls over FLTK widgets.
#include "dialog/dialog_widgets.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Group.H>
#include <FL/fl_draw.H>

#include <cctype>

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
                // Letters and digits pick an entry, never a button's shortcut.
                if (Fl::event_length() != 1 || std::isalnum(Fl::event_text()[0]) == 0) {
                    return Fl_Choice::handle(event);
                }
                next = nextStartingWith(Fl::event_text()[0]);
                break;
        }
        if (count > 0 && next != current) {
            value(next);
            redraw();
        }
        return 1;
    }
    return Fl_Choice::handle(event);
}

int DropDownList::nextStartingWith(char typed) const {
    const int count = size() - 1;
    const int current = value();
    const int wanted = std::tolower(static_cast<unsigned char>(typed));
    for (int step = 1; step <= count; ++step) {
        const int i = ((current < 0 ? -1 : current) + step) % count;
        const char* text = Fl_Choice::text(i);
        if (text != nullptr && std::tolower(static_cast<unsigned char>(text[0])) == wanted) {
            return i;
        }
    }
    return current;
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
