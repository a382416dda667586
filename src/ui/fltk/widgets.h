// The FLTK back end's widgets: the controls of a dialog template as FLTK
// widgets that look like Windows' controls and hand every click and choice
// to their dialog (DialogInput) instead of acting on it themselves.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_draw.H>

#include <algorithm>

#include "ui/managed.h"
#include "ui/template.h"

namespace ui::fltk {

// What the widgets of a shown dialog tell it of the person's input, and ask
// of it to draw themselves. The dialog decides with the dialog manager's
// rules; the widgets never change their own state.
class DialogInput {
public:
    virtual void click(int id) = 0;
    virtual void spin(int id, bool up) = 0;
    virtual void select(int id, int index) = 0;
    virtual void contextMenu(int x, int y) = 0;
    virtual void closeBox() = 0;
    virtual bool drawnAsDefault(int id) const = 0;
    // Whether the buddy of this up-down control is enabled.
    virtual bool buddyEnabled(int spinId) const = 0;

protected:
    ~DialogInput() = default;
};

// A widget's dialog and control id.
struct Owner {
    DialogInput* input = nullptr;
    int id = kNoId;
};

// The room between a check box's or radio button's mark and its text.
inline int labelGap(int fontPixels) { return std::max(2, fontPixels / 3); }

// A button that leaves what a click does to the dialog manager's rules: it
// only shows itself pressed while the mouse holds it (push buttons) and hands
// the click on when the mouse is released over it.
template <class Base>
class RuledButton : public Base {
public:
    RuledButton(int x, int y, int w, int h, Owner owner, bool push)
        : Base(x, y, w, h), owner_(owner), push_(push) {}

    int handle(int event) override {
        switch (event) {
            case FL_PUSH:
                if (Fl::event_button() != FL_LEFT_MOUSE) return 0;
                pressed_ = true;
                if (push_) Base::value(1);
                return 1;
            case FL_DRAG:
                if (push_) Base::value(Fl::event_inside(this) ? 1 : 0);
                return 1;
            case FL_RELEASE: {
                if (!pressed_) return 0;
                pressed_ = false;
                if (push_) Base::value(0);
                if (Fl::event_inside(this)) owner_.input->click(owner_.id);
                return 1;
            }
            case FL_KEYBOARD:
            case FL_SHORTCUT:
                return 0;  // the dialog's keys, see dispatchEvent
            default:
                return Base::handle(event);
        }
    }

    void draw() override {
        if (!push_) {
            // the mark, then the text a little apart from it at every size
            const Fl_Labeltype type = Base::labeltype();
            Base::labeltype(FL_NO_LABEL);
            Base::draw();
            Base::labeltype(type);
            const int lx = Fl::box_dx(Base::box()) + 2 + Base::labelsize() + labelGap(Base::labelsize());
            Base::draw_label(Base::x() + lx, Base::y(), Base::w() - lx, Base::h(),
                             FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
            return;
        }
        Base::draw();
        // The default push button has the dark frame around it.
        if (push_ && owner_.input->drawnAsDefault(owner_.id)) {
            fl_color(Base::active_r() ? FL_BLACK : FL_INACTIVE_COLOR);
            fl_rect(Base::x(), Base::y(), Base::w(), Base::h());
        }
    }

private:
    Owner owner_;
    bool push_;
    bool pressed_ = false;
};

using PushButton = RuledButton<Fl_Button>;
using CheckButton = RuledButton<Fl_Check_Button>;
using RadioButton = RuledButton<Fl_Round_Button>;

// A static text: left-aligned, wrapped at words and clipped, with '&' as the
// mark of a mnemonic ("&&" for an ampersand), as a Win32 static control.
class StaticText : public Fl_Box {
public:
    StaticText(int x, int y, int w, int h, bool oneLine, bool prefix) : Fl_Box(x, y, w, h) {
        align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_CLIP | (oneLine ? 0 : FL_ALIGN_WRAP));
        if (prefix) set_flag(SHORTCUT_LABEL);
    }
    // The text starts at the control's left edge, as a static control's
    // does (FLTK's own labels keep a margin).
    void draw() override {
        draw_box();
        draw_label(x(), y(), w(), h(), align());
    }
};

// A group box: an etched frame whose top line runs through the middle of
// its caption.
class GroupBox : public Fl_Widget {
public:
    GroupBox(int x, int y, int w, int h, int inset) : Fl_Widget(x, y, w, h), inset_(inset) {
        set_flag(SHORTCUT_LABEL);
        clear_visible_focus();
    }
    int handle(int) override { return 0; }
    void draw() override {
        fl_font(labelfont(), labelsize());
        const int fh = fl_height();
        draw_box(FL_ENGRAVED_FRAME, x(), y() + fh / 2, w(), h() - fh / 2, color());
        if (!label() || !*label()) return;
        int tw = 0, th = 0;
        measure_label(tw, th);
        fl_color(color());
        fl_rectf(x() + inset_ - 2, y(), tw + 4, fh);
        draw_label(x() + inset_, y(), tw, fh, FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    }

private:
    int inset_;
};

// A single-line edit; one that takes digits only refuses other typed characters.
class EditBox : public Fl_Input {
public:
    EditBox(int x, int y, int w, int h, bool digitsOnly) : Fl_Input(x, y, w, h), digitsOnly_(digitsOnly) {}
    int handle(int event) override {
        if (event == FL_PASTE) return paste(oneLineText(std::string_view(
                                       Fl::event_text() ? Fl::event_text() : "", static_cast<std::size_t>(Fl::event_length()))));
        if (digitsOnly_ && event == FL_KEYBOARD && !(Fl::event_state() & FL_CTRL)) {
            const char* text = Fl::event_text();
            const int n = Fl::event_length();
            for (int i = 0; text && i < n; ++i)
                if (text[i] < '0' || text[i] > '9') return event == FL_KEYBOARD && isEditingKey() ? Fl_Input::handle(event) : 1;
        }
        return Fl_Input::handle(event);
    }

private:
    // Windows' paste into a one-line edit: the text up to its first line
    // break replaces the selection, kept as it is (a digits-only edit takes
    // other characters too; the data exchange refuses them at OK).
    int paste(std::string_view text) {
        if (readonly() || text.empty()) return 1;
        replace(position(), mark(), text.data(), static_cast<int>(text.size()));
        return 1;
    }
    static bool isEditingKey() {
        const int k = Fl::event_key();
        return k == FL_BackSpace || k == FL_Delete || k == FL_Left || k == FL_Right || k == FL_Home || k == FL_End;
    }
    bool digitsOnly_;
};

// A drop-down list that tells the dialog when the person chose an entry.
class DropDownList : public Fl_Choice {
public:
    DropDownList(int x, int y, int w, int h, Owner owner) : Fl_Choice(x, y, w, h), owner_(owner) {
        callback([](Fl_Widget* w, void*) {
            auto* self = static_cast<DropDownList*>(w);
            self->owner_.input->select(self->owner_.id, self->value());
        });
        when(FL_WHEN_CHANGED);
    }
    int handle(int event) override {
        if (event == FL_KEYBOARD && Fl::event_key() != ' ') return 0;
        return Fl_Choice::handle(event);
    }
    // The list opened from the keyboard (F4, Alt+Down), as a click opens it.
    void openList() {
        const Fl_Menu_Item* v = menu() ? menu()->pulldown(x(), y(), w(), h(), mvalue(), this) : nullptr;
        if (!v || v->submenu()) return;
        if (v != mvalue()) redraw();
        picked(v);
    }

private:
    Owner owner_;
};

// The vertical scroll bar of a multi-line edit, there whether the text fills
// the edit or not, as WS_VSCROLL keeps it (FLTK's own comes and goes).
class EditScrollBar : public Fl_Scrollbar {
public:
    EditScrollBar(int x, int y, int w, int h) : Fl_Scrollbar(x, y, w, h) {
        type(FL_VERTICAL);
        clear_visible_focus();
    }
    int handle(int event) override { return event == FL_SHORTCUT || event == FL_KEYBOARD ? 0 : Fl_Scrollbar::handle(event); }
};

// A multi-line edit, which keeps its scroll bar in step with its text.
class MultiLineEdit : public Fl_Text_Editor {
public:
    MultiLineEdit(int x, int y, int w, int h, EditScrollBar* bar) : Fl_Text_Editor(x, y, w, h), bar_(bar) {
        scrollbar_width(0);
        if (bar_)
            bar_->callback([](Fl_Widget* w, void* edit) {
            auto* self = static_cast<MultiLineEdit*>(edit);
            self->scroll(static_cast<Fl_Scrollbar*>(w)->value(), self->mHorizOffset);
        }, this);
    }
    void draw() override {
        Fl_Text_Editor::draw();
        if (!bar_) return;
        const int visible = std::max(1, mNVisibleLines);
        bar_->value(mTopLineNum, visible, 1, std::max(visible, mNBufferLines + 1));
        bar_->linesize(1);
    }

private:
    EditScrollBar* bar_;
};

// The two arrows of an up-down control, one above the other.
class SpinArrows : public Fl_Widget {
public:
    SpinArrows(int x, int y, int w, int h, Owner owner) : Fl_Widget(x, y, w, h), owner_(owner) {
        clear_visible_focus();
    }
    int handle(int event) override {
        if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
            pressedUp_ = Fl::event_y() < y() + h() / 2;
            pressed_ = true;
            redraw();
            owner_.input->spin(owner_.id, pressedUp_);
            return 1;
        }
        if (event == FL_RELEASE) {
            pressed_ = false;
            redraw();
            return 1;
        }
        return event == FL_DRAG ? 1 : 0;
    }
    void draw() override {
        const int half = h() / 2;
        draw_box(pressed_ && pressedUp_ ? FL_DOWN_BOX : FL_UP_BOX, x(), y(), w(), half, FL_BACKGROUND_COLOR);
        draw_box(pressed_ && !pressedUp_ ? FL_DOWN_BOX : FL_UP_BOX, x(), y() + half, w(), h() - half,
                 FL_BACKGROUND_COLOR);
        // greyed with its buddy too, which takes its steps away
        fl_color(active_r() && owner_.input->buddyEnabled(owner_.id) ? FL_FOREGROUND_COLOR : FL_INACTIVE_COLOR);
        const int cx = x() + w() / 2;
        const int a = std::max(2, std::min(w() / 4, half / 3));
        const int upY = y() + half / 2, downY = y() + half + (h() - half) / 2;
        fl_polygon(cx - a, upY + a / 2, cx + a, upY + a / 2, cx, upY - a / 2 - 1);
        fl_polygon(cx - a, downY - a / 2, cx + a, downY - a / 2, cx, downY + a / 2 + 1);
    }

private:
    Owner owner_;
    bool pressed_ = false, pressedUp_ = false;
};

// The icon of a message box: the kind drawn as the desktop draws it.
class MessageIconBox : public Fl_Widget {
public:
    MessageIconBox(int x, int y, int w, int h, bool error) : Fl_Widget(x, y, w, h), error_(error) {
        clear_visible_focus();
    }
    int handle(int) override { return 0; }
    void draw() override {
        const int s = std::min(w(), h());
        if (error_) {
            fl_color(fl_rgb_color(0xD0, 0x20, 0x20));
            fl_pie(x(), y(), s, s, 0, 360);
            fl_color(FL_WHITE);
            fl_line_style(FL_SOLID | FL_CAP_ROUND, std::max(2, s / 10));
            const int m = s * 3 / 10;
            fl_line(x() + m, y() + m, x() + s - m, y() + s - m);
            fl_line(x() + s - m, y() + m, x() + m, y() + s - m);
            fl_line_style(0);
        } else {
            fl_color(fl_rgb_color(0xF0, 0xC0, 0x10));
            fl_polygon(x() + s / 2, y(), x() + s, y() + s - 1, x(), y() + s - 1);
            fl_color(FL_BLACK);
            fl_font(FL_HELVETICA_BOLD, s * 2 / 3);
            fl_draw("!", x(), y() + s / 6, s, s * 5 / 6, FL_ALIGN_CENTER);
        }
    }

private:
    bool error_;
};

// The window of a dialog: a right click on its background and Alt+Space
// open the system menu, the close box is the dialog manager's close.
class DialogWindow : public Fl_Double_Window {
public:
    DialogWindow(int w, int h, DialogInput& input) : Fl_Double_Window(w, h), input_(input) {
        callback([](Fl_Widget* w, void*) { static_cast<DialogWindow*>(w)->input_.closeBox(); });
    }
    DialogInput& input() { return input_; }
    int handle(int event) override {
        if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
            if (Fl_Double_Window::handle(event)) return 1;
            input_.contextMenu(Fl::event_x(), Fl::event_y());
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }
    // The whole window as it looks now, drawn into the current drawing surface.
    void paintAll() {
        damage(FL_DAMAGE_ALL);
        draw();
        clear_damage();
    }

private:
    DialogInput& input_;
};

}  // namespace ui::fltk
