// The settings dialog's controls over FLTK, with the keys and looks the
// dialog needs: push buttons that Enter presses (the focused one, else the
// default), a drop-down list whose arrow keys change the selection in place,
// and a group box whose caption breaks its etched frame. Needs an open
// display.
#pragma once

#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Widget.H>

class DialogButton : public Fl_Button {
  public:
    // The default button also answers Enter while another control has focus
    // and is drawn with a dark outline.
    DialogButton(int x, int y, int width, int height, const char* label, bool isDefault);
    int handle(int event) override;

  protected:
    void draw() override;

  private:
    bool isDefault_;
};

class DropDownList : public Fl_Choice {
  public:
    DropDownList(int x, int y, int width, int height);
    // Up, Down, Home and End move the selection without opening the list;
    // Space opens it. A letter or digit selects the next entry starting with
    // it (a button's shortcut needs Alt).
    int handle(int event) override;

  private:
    int nextStartingWith(char typed) const;
};

class GroupFrame : public Fl_Widget {
  public:
    GroupFrame(int x, int y, int width, int height, const char* label);

  protected:
    void draw() override;
};
