// The FLTK back end: every dialog is an X11 window built from its template,
// laid out from its dialog units with the base units of an 8-point sans serif
// font at the X server's DPI, as Windows lays out the same template. FLTK has
// no dialog manager of its own, so every key and click that the dialog
// manager would see is routed into the rules of ui::ManagedBackend, the same
// rules that the headless back end and the script driver use: an event
// dispatch function takes the dialog keys before FLTK's own navigation does,
// and the buttons hand their clicks to those rules instead of toggling
// themselves. A script runs from the event loop, one line per timeout.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>
#include <FL/Fl_Scrollbar.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Editor.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "res/resources.h"
#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "ui/fltk/layout.h"
#include "ui/fltk/module.h"
#include "ui/fltk/text.h"
#include "ui/managed.h"
#include "ui/messages.h"
#include "ui/png.h"
#include "ui/script.h"

namespace ui {

namespace {

using fltk::BaseUnits;

constexpr int kTemplateFontPoints = 8;
constexpr const char* kWindowClass = "vsZEB";
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// An edit box's height in dialog units (a combo box closed is as high).
constexpr int kEditHeight = 12;
// A static text, check box or radio button at most this high holds one line.
constexpr int kOneLineHeight = 10;
// What a message box's icon control holds instead of a resource number.
constexpr std::string_view kErrorIconText = "error";
constexpr std::string_view kWarningIconText = "warning";

class FltkBackend;
FltkBackend* g_backend = nullptr;

struct Shown;

// ---------------------------------------------------------------- widgets

// What a widget tells the back end about the person's input.
struct Owner {
    Shown* shown = nullptr;
    int id = kNoId;
};

void userClick(const Owner& o);
void userSpin(const Owner& o, bool up);
void userSelect(const Owner& o, int index);
void userContextMenu(Shown& s, int x, int y);
void userClose(Shown& s);
bool drawnAsDefault(const Owner& o);
bool buddyEnabled(const Owner& spin);

// The room between a check box's or radio button's mark and its text.
int labelGap(int fontPixels) { return std::max(2, fontPixels / 3); }

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
                if (Fl::event_inside(this)) userClick(owner_);
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
        if (push_ && drawnAsDefault(owner_)) {
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

// A single-line edit; one that takes digits only refuses other characters.
class EditBox : public Fl_Input {
public:
    EditBox(int x, int y, int w, int h, bool digitsOnly) : Fl_Input(x, y, w, h), digitsOnly_(digitsOnly) {}
    int handle(int event) override {
        if (digitsOnly_ && (event == FL_KEYBOARD || event == FL_PASTE) && !(Fl::event_state() & FL_CTRL)) {
            const char* text = Fl::event_text();
            const int n = Fl::event_length();
            for (int i = 0; text && i < n; ++i)
                if (text[i] < '0' || text[i] > '9') return event == FL_KEYBOARD && isEditingKey() ? Fl_Input::handle(event) : 1;
        }
        return Fl_Input::handle(event);
    }

private:
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
            userSelect(self->owner_, self->value());
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
            userSpin(owner_, pressedUp_);
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
        fl_color(active_r() && buddyEnabled(owner_) ? FL_FOREGROUND_COLOR : FL_INACTIVE_COLOR);
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
    DialogWindow(int w, int h, Shown& shown) : Fl_Double_Window(w, h), shown_(shown) {
        callback([](Fl_Widget* w, void*) { userClose(static_cast<DialogWindow*>(w)->shown_); });
    }
    int handle(int event) override {
        if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
            if (Fl_Double_Window::handle(event)) return 1;
            userContextMenu(shown_, Fl::event_x(), Fl::event_y());
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
    Shown& shown_;
};

// ---------------------------------------------------------------- state

struct Control {
    const ControlTemplate* tmpl = nullptr;
    std::string text;                  // the label's text as the program gave it
    Fl_Widget* widget = nullptr;
    Fl_Text_Buffer* buffer = nullptr;  // a multi-line edit's text
    Fl_Widget* extra = nullptr;        // and its scroll bar
    bool tabStop = false;
    std::vector<std::string> items;
    int spinLower = 100, spinUpper = 0;  // an up-down control's default range
    int spinPosition = 0;
};

struct Shown {
    Dialog* dlg = nullptr;
    std::unique_ptr<DialogWindow> window;
    std::vector<Control> controls;
    std::vector<std::pair<unsigned, std::string>> sysMenu;
    std::vector<std::unique_ptr<Fl_Text_Buffer>> buffers;
    std::vector<std::unique_ptr<Fl_RGB_Image>> images;
    std::string caption;
    int defaultLook = kNoId;

    Control* find(int id) {
        if (id == kNoId) return nullptr;
        for (auto& c : controls)
            if (c.tmpl->id == id) return &c;
        return nullptr;
    }
    const Control* find(int id) const { return const_cast<Shown*>(this)->find(id); }
};

// Icon resource `id` as RGBA images, each image `scale` times its size.
std::vector<std::unique_ptr<Fl_RGB_Image>> iconImages(int id, int scale) {
    std::vector<std::unique_ptr<Fl_RGB_Image>> out;
    for (const res::IconImage& img : res::iconImages(id)) {
        const int size = img.size * scale;
        auto* data = new uchar[static_cast<std::size_t>(size) * static_cast<std::size_t>(size) * 4];
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const auto at = static_cast<std::size_t>((y / scale) * img.size + x / scale);
                const std::uint32_t rgb = img.palette[img.pixels[at]];
                uchar* px = data + (static_cast<std::size_t>(y) * static_cast<std::size_t>(size) + static_cast<std::size_t>(x)) * 4;
                px[0] = static_cast<uchar>(rgb >> 16);
                px[1] = static_cast<uchar>(rgb >> 8);
                px[2] = static_cast<uchar>(rgb);
                px[3] = img.mask[at] ? 0 : 255;
            }
        }
        auto image = std::make_unique<Fl_RGB_Image>(data, size, size, 4);
        image->alloc_array = 1;
        out.push_back(std::move(image));
    }
    return out;
}

// ---------------------------------------------------------------- the back end

class FltkBackend final : public ManagedBackend {
public:
    explicit FltkBackend(double dpi) : dpi_(dpi) {
        g_backend = this;
        fontPixels_ = fltk::fontPixels(kTemplateFontPoints, dpi_);
        FL_NORMAL_SIZE = static_cast<Fl_Fontsize>(fontPixels_);
        Fl::scheme("gtk+");
        Fl::visible_focus(1);
        fl_font(FL_HELVETICA, fontPixels_);
        base_ = fltk::baseUnits(static_cast<int>(std::lround(fl_width(kAlphabet))), fl_height());
        iconScale_ = std::max(1, static_cast<int>(std::lround(dpi_ / 96.0)));
        appIcons_ = iconImages(res::IDR_MAINFRAME, 1);
        if (iconScale_ > 1)
            for (auto& img : iconImages(res::IDR_MAINFRAME, iconScale_)) appIcons_.push_back(std::move(img));
        Fl::event_dispatch(&FltkBackend::dispatchEvent);
    }
    ~FltkBackend() override {
        Fl::event_dispatch(nullptr);
        g_backend = nullptr;
    }

    std::string_view name() const override { return "fltk"; }

    void runModal(Dialog& dlg) override {
        Shown s;
        s.dlg = &dlg;
        build(s);
        stack_.push_back(&s);
        setWindow(dlg, &s);
        struct Pop {
            FltkBackend& b;
            Shown& s;
            ~Pop() {
                Fl::remove_timeout(&FltkBackend::stepTimeout, &s);
                // the widgets go before the text buffers and images that they show
                if (s.window) s.window->hide();
                s.window.reset();
                b.stack_.pop_back();
                setWindow(*s.dlg, nullptr);
                // As Windows activates the owner again: without a window
                // manager the focus would fall back to the root window.
                if (Shown* below = b.top(); below && below->window) raiseAndFocus(*below->window);
            }
        } pop{*this, s};

        if (!dlg.initialize() && !dlg.hasEnded()) giveFocus(dlg, firstTabStop(dlg));
        if (dlg.hasEnded()) return;
        show(s);
        if (script()) Fl::add_timeout(0.0, &FltkBackend::stepTimeout, &s);
        while (!dlg.hasEnded()) Fl::wait();
    }

    Dialog* topDialog() const override { return stack_.empty() ? nullptr : stack_.back()->dlg; }

    std::string caption(const Dialog& dlg) const override { return shown(dlg) ? shown(dlg)->caption : std::string(); }
    bool hasControl(const Dialog& dlg, int id) const override { return control(dlg, id) != nullptr; }

    void setItemText(Dialog& dlg, int id, std::string_view text) override {
        Control* c = control(dlg, id);
        if (!c) return;
        switch (c->tmpl->kind) {
            case ControlKind::ComboBox: return;  // a drop-down list shows its selected entry
            case ControlKind::Edit:
                if (c->buffer)
                    c->buffer->text(fltk::toEditorText(text).c_str());
                else
                    static_cast<Fl_Input*>(c->widget)->value(std::string(text).c_str());
                return;
            default:
                c->text = std::string(text);
                c->widget->copy_label(fltk::labelText(text).c_str());
                c->widget->redraw();
                if (Fl_Widget* w = c->widget->window()) w->redraw();  // the old text under a transparent label
        }
    }

    std::string itemText(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        if (!c) return {};
        switch (c->tmpl->kind) {
            case ControlKind::ComboBox:
                return c->items.empty() || comboSelection(dlg, id) < 0
                           ? std::string()
                           : c->items[static_cast<std::size_t>(comboSelection(dlg, id))];
            case ControlKind::Edit: {
                if (c->buffer) {
                    char* t = c->buffer->text();
                    std::string s = fltk::fromEditorText(t ? t : "");
                    std::free(t);
                    return s;
                }
                const char* v = static_cast<const Fl_Input*>(c->widget)->value();
                return v ? v : "";
            }
            default:
                return c->text;
        }
    }

    void setCheck(Dialog& dlg, int id, bool checked) override {
        Control* c = control(dlg, id);
        if (!c) return;
        if (auto* b = dynamic_cast<Fl_Button*>(c->widget); b && c->tmpl->kind != ControlKind::PushButton &&
                                                            c->tmpl->kind != ControlKind::DefPushButton)
            b->value(checked ? 1 : 0);
        if (c->tmpl->kind == ControlKind::RadioButton) c->tabStop = checked;
    }
    bool isChecked(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        if (!c || (c->tmpl->kind != ControlKind::CheckBox && c->tmpl->kind != ControlKind::RadioButton)) return false;
        return static_cast<const Fl_Button*>(c->widget)->value() != 0;
    }

    void enableItem(Dialog& dlg, int id, bool enabled) override {
        Control* c = control(dlg, id);
        if (!c) return;
        // FLTK takes the focus from a widget that it deactivates, as Windows does.
        for (Fl_Widget* w : {c->widget, c->extra}) {
            if (!w) continue;
            if (enabled)
                w->activate();
            else
                w->deactivate();
        }
        shown(dlg)->window->redraw();  // an up-down control shows its buddy's state
    }
    bool isItemEnabled(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        return c && c->widget->active();
    }
    bool hasTabStop(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        return c && c->tabStop;
    }

    void giveFocus(Dialog& dlg, int id) override {
        Control* c = control(dlg, id);
        if (!c || !c->widget->active()) return;
        if (c->widget->visible_focus())
            c->widget->take_focus();
        else
            Fl::focus(c->widget);
        redrawButtons(*shown(dlg));
    }
    int defaultLook(const Dialog& dlg) const override { return shown(dlg) ? shown(dlg)->defaultLook : kNoId; }
    void setDefaultLook(Dialog& dlg, int id) override {
        if (Shown* s = shown(dlg)) {
            s->defaultLook = id;
            redrawButtons(*s);
        }
    }
    int focusedItem(const Dialog& dlg) const override {
        const Shown* s = shown(dlg);
        if (!s) return kNoId;
        for (Fl_Widget* f = Fl::focus(); f; f = f->parent())
            for (const auto& c : s->controls)
                if (c.widget == f) return c.tmpl->id;
        return kNoId;
    }

    void comboReset(Dialog& dlg, int id) override {
        if (Control* c = combo(dlg, id)) {
            c->items.clear();
            rebuildChoice(*c, -1);
        }
    }
    void comboAdd(Dialog& dlg, int id, std::string_view text) override {
        if (Control* c = combo(dlg, id)) {
            const int selected = comboSelection(dlg, id);
            c->items.emplace_back(text);
            rebuildChoice(*c, selected);
        }
    }
    void comboSetSelection(Dialog& dlg, int id, int index) override {
        if (Control* c = combo(dlg, id))
            choice(*c)->value(index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1);
    }
    int comboSelection(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        if (!c || c->tmpl->kind != ControlKind::ComboBox) return -1;
        return static_cast<const Fl_Choice*>(c->widget)->value();
    }
    int comboCount(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        return c ? static_cast<int>(c->items.size()) : 0;
    }
    std::string comboItem(const Dialog& dlg, int id, int index) const override {
        const Control* c = control(dlg, id);
        if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
        return c->items[static_cast<std::size_t>(index)];
    }

    void spinSetRange(Dialog& dlg, int id, int lower, int upper) override {
        if (Control* c = control(dlg, id)) {
            c->spinLower = lower;
            c->spinUpper = upper;
        }
    }
    std::pair<int, int> spinRange(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        return c ? std::pair{c->spinLower, c->spinUpper} : std::pair{100, 0};
    }
    int spinPosition(const Dialog& dlg, int id) const override {
        const Control* c = control(dlg, id);
        return c ? c->spinPosition : 0;
    }
    void spinSetPosition(Dialog& dlg, int id, int position) override {
        if (Control* c = control(dlg, id)) c->spinPosition = position;
    }

    bool hasSystemMenu(const Dialog& dlg) const override {
        return shown(dlg) && (dlg.dialogTemplate().windowStyle & SystemMenu);
    }
    void appendSystemMenuSeparator(Dialog& dlg) override {
        if (hasSystemMenu(dlg)) shown(dlg)->sysMenu.emplace_back(0u, std::string());
    }
    void appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) override {
        if (hasSystemMenu(dlg)) shown(dlg)->sysMenu.emplace_back(command, std::string(text));
    }
    // X11 windows have no system menu of their own: the dialog's offers
    // Move and Close, as a modal frame's does on Windows, and what was appended.
    std::vector<unsigned> systemMenuCommands(const Dialog& dlg) const override {
        if (!hasSystemMenu(dlg)) return {};
        std::vector<unsigned> cmds{SC_MOVE, SC_CLOSE};
        for (const auto& [cmd, text] : shown(dlg)->sysMenu)
            if (cmd != 0) cmds.push_back(cmd);
        return cmds;
    }
    void setIcon(Dialog& dlg, Icon icon, bool big) override {
        Shown* s = shown(dlg);
        if (!s || !icon || !big) return;
        s->images = iconImages(icon.resourceId, 1);
        if (iconScale_ > 1)
            for (auto& img : iconImages(icon.resourceId, iconScale_)) s->images.push_back(std::move(img));
        setWindowIcons(*s->window, s->images);
    }

    void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;

    void screenshot(Dialog& dlg, const std::string& path) override {
        Shown* s = shown(dlg);
        if (!s) return;
        DialogWindow& w = *s->window;
        Fl::flush();
        const int width = w.w(), height = w.h();
        Fl_Offscreen off = fl_create_offscreen(width, height);
        fl_begin_offscreen(off);
        w.paintAll();
        uchar* pixels = fl_read_image(nullptr, 0, 0, width, height);
        fl_end_offscreen();
        fl_delete_offscreen(off);
        std::vector<std::uint8_t> rgb;
        if (pixels) rgb.assign(pixels, pixels + static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
        delete[] pixels;
        writeScreenshot(path, rgb.empty() ? 0 : width, rgb.empty() ? 0 : height, rgb);
    }

    // ------------------------------------------------------------ the person's input

    void contextMenu(Shown& s, int x, int y) {
        if (!hasSystemMenu(*s.dlg) || &s != stack_.back()) return;
        std::vector<std::string> texts;
        std::vector<unsigned> commands;
        texts.push_back(fltk::labelText(msg::kSystemMenuMove));
        commands.push_back(SC_MOVE);
        texts.push_back(fltk::labelText(msg::kSystemMenuClose));
        commands.push_back(SC_CLOSE);
        std::vector<Fl_Menu_Item> items;
        bool dividerNext = false;
        for (const auto& [cmd, text] : s.sysMenu) {
            if (cmd == 0) {
                dividerNext = true;
                continue;
            }
            texts.push_back(fltk::labelText(text));
            commands.push_back(cmd);
        }
        for (std::size_t i = 0; i < texts.size(); ++i) {
            Fl_Menu_Item item{};
            item.text = texts[i].c_str();
            item.labelsize_ = static_cast<Fl_Fontsize>(fontPixels_);
            item.labelfont_ = FL_HELVETICA;
            item.user_data_ = reinterpret_cast<void*>(static_cast<std::uintptr_t>(commands[i]));
            items.push_back(item);
        }
        // the separator that the dialog appended before its own entries
        if (dividerNext && items.size() > 2) items[1].flags |= FL_MENU_DIVIDER;
        items.push_back(Fl_Menu_Item{});
        // the menu's position is taken in the current window's coordinates
        s.window->make_current();
        const Fl_Menu_Item* picked = items.data()->popup(x, y);
        if (!picked || s.dlg->hasEnded()) return;
        const auto command = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(picked->user_data_));
        chooseSystemCommand(*s.dlg, command);
        // The dialog leaves Move to the window; here the window manager moves it.
        if ((command & 0xFFF0u) == SC_MOVE && !s.dlg->hasEnded() && isTop(&s)) startKeyboardMove(*s.window);
    }

    // Asks the window manager to let the person move the window with the
    // arrow keys (_NET_WM_MOVERESIZE, keyboard move), as Windows' Move does;
    // without a window manager nothing moves, and the dialog goes on as it was.
    static void startKeyboardMove(DialogWindow& w) {
        const ::Window xid = fl_xid(&w);
        if (!xid) return;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = xid;
        e.xclient.message_type = XInternAtom(fl_display, "_NET_WM_MOVERESIZE", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = w.x_root() + w.w() / 2;
        e.xclient.data.l[1] = w.y_root() + w.h() / 2;
        e.xclient.data.l[2] = 10;  // _NET_WM_MOVERESIZE_MOVE_KEYBOARD
        e.xclient.data.l[3] = 0;
        e.xclient.data.l[4] = 1;  // from an application
        XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XFlush(fl_display);
    }

    bool isTop(const Shown* s) const { return !stack_.empty() && stack_.back() == s; }
    Shown* top() const { return stack_.empty() ? nullptr : stack_.back(); }
    BaseUnits base() const { return base_; }
    int fontPixels() const { return fontPixels_; }

private:
    static Shown* shown(const Dialog& dlg) { return static_cast<Shown*>(window(dlg)); }
    static Control* control(const Dialog& dlg, int id) {
        Shown* s = shown(dlg);
        return s ? s->find(id) : nullptr;
    }
    static Control* combo(const Dialog& dlg, int id) {
        Control* c = control(dlg, id);
        return c && c->tmpl->kind == ControlKind::ComboBox ? c : nullptr;
    }
    static Fl_Choice* choice(Control& c) { return static_cast<Fl_Choice*>(c.widget); }
    static void rebuildChoice(Control& c, int selected) {
        Fl_Choice* ch = choice(c);
        ch->clear();
        for (const auto& item : c.items) ch->add(fltk::choiceEntryText(item).c_str());
        ch->value(selected >= 0 && selected < static_cast<int>(c.items.size()) ? selected : -1);
        ch->redraw();
    }
    static void redrawButtons(Shown& s) {
        for (auto& c : s.controls)
            if (c.tmpl->kind == ControlKind::PushButton || c.tmpl->kind == ControlKind::DefPushButton)
                c.widget->redraw();
    }

    static void setWindowIcons(DialogWindow& w, const std::vector<std::unique_ptr<Fl_RGB_Image>>& images) {
        std::vector<const Fl_RGB_Image*> list;
        for (const auto& img : images) list.push_back(img.get());
        w.icons(list.data(), static_cast<int>(list.size()));
    }

    int px(int dlu) const { return fltk::pixelsX(dlu, base_); }
    int py(int dlu) const { return fltk::pixelsY(dlu, base_); }

    void build(Shown& s) {
        const DialogTemplate& t = s.dlg->dialogTemplate();
        s.caption = std::string(t.caption);
        s.window = std::make_unique<DialogWindow>(px(t.cx), py(t.cy), s);
        DialogWindow& w = *s.window;
        w.copy_label(s.caption.c_str());
        w.xclass(kWindowClass);
        w.set_modal();
        for (const ControlTemplate& c : t.controls) {
            s.controls.push_back(makeControl(s, c));
            if (c.kind == ControlKind::DefPushButton) s.defaultLook = c.id;
        }
        // An up-down control that aligns itself to the right of its buddy
        // takes its place at the buddy's right edge, the buddy giving up the width.
        for (std::size_t i = 1; i < s.controls.size(); ++i) {
            Control& spin = s.controls[i];
            Control& buddy = s.controls[i - 1];
            if (spin.tmpl->kind != ControlKind::Spin || !(spin.tmpl->style & SpinAlignRight) ||
                buddy.tmpl->kind != ControlKind::Edit)
                continue;
            Fl_Widget* b = buddy.widget;
            const int sw = spin.widget->w();
            b->resize(b->x(), b->y(), std::max(sw, b->w() - sw), b->h());
            spin.widget->resize(b->x() + b->w(), b->y(), sw, b->h());
        }
        w.end();
        giveLabelsRoom(s);
        setWindowIcons(w, appIcons_);
        const int sx = Fl::x() + (Fl::w() - w.w()) / 2, sy = Fl::y() + (Fl::h() - w.h()) / 2;
        w.position(std::max(0, sx), std::max(0, sy));
    }

    // The template's widths were made for the narrower font of Windows: a
    // one-line label whose text does not fit takes the free room to its right
    // (up to the next control on its row, the group box around it or the
    // dialog's edge) rather than being cut.
    void giveLabelsRoom(Shown& s) const {
        const int dialogRight = s.window->w() - px(4);
        for (Control& c : s.controls) {
            const ControlKind k = c.tmpl->kind;
            const bool button = k == ControlKind::CheckBox || k == ControlKind::RadioButton;
            if ((k != ControlKind::StaticText && !button) || c.tmpl->cy > kOneLineHeight) continue;
            Fl_Widget* w = c.widget;
            if (c.text.empty()) continue;
            int tw = 0, th = 0;
            fl_font(w->labelfont(), w->labelsize());
            fl_measure(c.text.c_str(), tw, th, 0);
            const int needed = tw + 1 + (button ? w->labelsize() + 4 + labelGap(w->labelsize()) : 0);
            if (needed <= w->w()) continue;
            int limit = dialogRight;
            for (const Control& d : s.controls) {
                const Fl_Widget* o = d.widget;
                if (&d == &c || o->y() >= w->y() + w->h() || o->y() + o->h() <= w->y()) continue;
                if (o->x() > w->x())
                    limit = std::min(limit, o->x() - 2);
                else if (d.tmpl->kind == ControlKind::GroupBox && o->x() + o->w() > w->x())
                    limit = std::min(limit, o->x() + o->w() - px(2));
            }
            w->size(std::max(w->w(), std::min(needed, limit - w->x())), w->h());
        }
    }

    Control makeControl(Shown& s, const ControlTemplate& c) {
        Control out;
        out.tmpl = &c;
        out.tabStop = (c.style & TabStop) != 0;
        const Owner owner{&s, c.id};
        const int x = px(c.x), y = py(c.y), w = px(c.cx), h = py(c.cy);
        const std::string text(c.text);
        switch (c.kind) {
            case ControlKind::PushButton:
            case ControlKind::DefPushButton:
                out.widget = new PushButton(x, y, w, h, owner, true);
                break;
            case ControlKind::CheckBox:
                out.widget = new CheckButton(x, y, w, h, owner, false);
                break;
            case ControlKind::RadioButton:
                out.widget = new RadioButton(x, y, w, h, owner, false);
                break;
            case ControlKind::GroupBox:
                out.widget = new GroupBox(x, y, w, h, px(4));
                break;
            case ControlKind::StaticText:
                out.widget = new StaticText(x, y, w, h, c.cy <= kOneLineHeight, !(c.style & NoPrefix));
                break;
            case ControlKind::StaticIcon: {
                if (c.text == kErrorIconText || c.text == kWarningIconText) {
                    const int size = 32 * iconScale_;
                    out.widget = new MessageIconBox(x, y, size, size, c.text == kErrorIconText);
                    break;
                }
                auto* box = new Fl_Box(x, y, 32 * iconScale_, 32 * iconScale_);
                auto images = iconImages(std::stoi(text), iconScale_);
                if (!images.empty()) {
                    box->image(images.back().get());
                    for (auto& img : images) s.images.push_back(std::move(img));
                }
                box->align(FL_ALIGN_INSIDE | FL_ALIGN_TOP_LEFT);
                out.widget = box;
                break;
            }
            case ControlKind::Edit:
                if (c.style & MultiLine) {
                    const int barWidth = (c.style & VScroll) ? std::max(Fl::scrollbar_size(), px(8) * 3 / 4) : 0;
                    auto* bar = barWidth ? new EditScrollBar(x + w - barWidth, y, barWidth, h) : nullptr;
                    auto* editor = new MultiLineEdit(x, y, w - barWidth, h, bar);
                    out.extra = bar;
                    s.buffers.push_back(std::make_unique<Fl_Text_Buffer>());
                    out.buffer = s.buffers.back().get();
                    editor->buffer(out.buffer);
                    editor->textfont(FL_HELVETICA);
                    editor->textsize(static_cast<Fl_Fontsize>(fontPixels_));
                    out.widget = editor;
                } else {
                    auto* edit = new EditBox(x, y, w, py(kEditHeight), (c.style & DigitsOnly) != 0);
                    edit->textfont(FL_HELVETICA);
                    edit->textsize(static_cast<Fl_Fontsize>(fontPixels_));
                    out.widget = edit;
                }
                break;
            case ControlKind::ComboBox: {
                auto* list = new DropDownList(x, y, w, py(kEditHeight) + 1, owner);
                list->textsize(static_cast<Fl_Fontsize>(fontPixels_));
                out.widget = list;
                break;
            }
            case ControlKind::Spin:
                out.widget = new SpinArrows(x, y, w, h, owner);
                break;
        }
        if (c.kind != ControlKind::ComboBox && c.kind != ControlKind::Edit && c.kind != ControlKind::StaticIcon) {
            out.text = text;
            out.widget->copy_label(fltk::labelText(text).c_str());
        }
        out.widget->labelfont(FL_HELVETICA);
        out.widget->labelsize(static_cast<Fl_Fontsize>(fontPixels_));
        return out;
    }

    void show(Shown& s) {
        DialogWindow& w = *s.window;
        w.show();
        w.wait_for_expose();
        raiseAndFocus(w);
    }

    // A window manager gives the focus when asked with _NET_ACTIVE_WINDOW;
    // without one, the window takes it itself.
    static void raiseAndFocus(DialogWindow& w) {
        const ::Window xid = fl_xid(&w);
        if (!xid) return;
        XRaiseWindow(fl_display, xid);
        const Atom active = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = xid;
        e.xclient.message_type = active;
        e.xclient.format = 32;
        e.xclient.data.l[0] = 1;  // from an application
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &e);
        XSetInputFocus(fl_display, xid, RevertToParent, CurrentTime);
        XFlush(fl_display);
    }

    static void stepTimeout(void* data) {
        auto* s = static_cast<Shown*>(data);
        FltkBackend* self = g_backend;
        if (!self || !self->isTop(s) || s->dlg->hasEnded()) return;
        if (ScriptDriver* driver = self->script()) driver->step(*s->dlg);
        if (!s->dlg->hasEnded() && self->isTop(s)) Fl::add_timeout(0.0, &FltkBackend::stepTimeout, s);
    }

    // Keys reach the dialog before the focused widget, as with the Win32
    // dialog manager: what the rules take, the widget never sees. An open
    // pop-up menu holds the grab, and the keys are its own.
    static int dispatchEvent(int event, Fl_Window* window) {
        FltkBackend* self = g_backend;
        if (self && event == FL_KEYBOARD && !Fl::grab()) {
            Shown* s = self->top();
            if (s && s->window.get() == window && !s->dlg->hasEnded() && self->key(*s)) return 1;
        }
        return Fl::handle_(event, window);
    }

    bool key(Shown& s) {
        Dialog& d = *s.dlg;
        const int k = Fl::event_key();
        const int state = Fl::event_state();
        const bool alt = state & FL_ALT, ctrl = state & FL_CTRL, shift = state & FL_SHIFT;
        if (k == FL_Tab && !alt && !ctrl) {
            if (shift)
                backTab(d);
            else
                pressKey(d, Key::Tab);
            return true;
        }
        if (k == FL_Escape) {
            pressKey(d, Key::Escape);
            return true;
        }
        if ((k == FL_Enter || k == FL_KP_Enter) && !alt) {
            if (focusWantsReturn(d)) return false;
            pressKey(d, Key::Return);
            return true;
        }
        if (k == ' ' && alt) {
            contextMenu(s, 0, 0);
            return true;
        }
        if ((k == FL_F + 4 && !alt && !ctrl) || (alt && !ctrl && (k == FL_Down || k == FL_Up)))
            return openList(s);
        if (alt && !ctrl && k > ' ' && k < 127) return mnemonicKey(d, static_cast<char>(k));
        if (alt || ctrl) return false;
        switch (k) {
            case FL_Up: return arrowKey(d, false, true);
            case FL_Down: return arrowKey(d, true, true);
            case FL_Left: return arrowKey(d, false, false);
            case FL_Right: return arrowKey(d, true, false);
            case FL_Home: return homeEndKey(d, false);
            case FL_End: return homeEndKey(d, true);
            case ' ': return spaceKey(d);
            default: break;
        }
        const char* typed = Fl::event_text();
        if (Fl::event_length() == 1 && static_cast<unsigned char>(typed[0]) > ' ' && typed[0] != 127)
            return charKey(d, typed[0]);
        return false;
    }

    // F4 and Alt+Down open a focused drop-down list; elsewhere they do nothing.
    bool openList(Shown& s) {
        const Control* c = s.find(focusedItem(*s.dlg));
        if (!c || c->tmpl->kind != ControlKind::ComboBox) return false;
        static_cast<DropDownList*>(c->widget)->openList();
        return true;
    }

    double dpi_;
    int fontPixels_ = 11;
    int iconScale_ = 1;
    BaseUnits base_;
    std::vector<std::unique_ptr<Fl_RGB_Image>> appIcons_;
    std::vector<Shown*> stack_;
};

// ---------------------------------------------------------------- services

// A message box is a dialog of its own, laid out around its text as Windows
// lays one out: icon, text, and the OK button centred below.
void FltkBackend::messageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    const BaseUnits b = base_;
    fl_font(FL_HELVETICA, fontPixels_);
    int tw = 0, th = 0;
    const std::string body = fltk::wrapText(text, fltk::messageTextLimit(Fl::w()), [](std::string_view piece) {
        return static_cast<int>(std::ceil(fl_width(piece.data(), static_cast<int>(piece.size()))));
    });
    fl_measure(body.c_str(), tw, th, 0);
    const int iconDlu = fltk::dialogUnitsX(32 * iconScale_, b);
    const int iconDluY = fltk::dialogUnitsY(32 * iconScale_, b);
    const int textX = 10 + iconDlu + 10;
    const int textW = fltk::dialogUnitsX(tw, b) + 2;
    const int textH = std::max(8, fltk::dialogUnitsY(th, b));
    const int bodyH = std::max(iconDluY, textH);
    const int cx = std::max(textX + textW + 10, 50 + 2 * 20);
    const int cy = 10 + bodyH + 10 + 14 + 8;
    const std::string captionText(caption);
    const ControlTemplate controls[] = {
        {kNoId, ControlKind::StaticIcon, icon == MessageIcon::Error ? kErrorIconText : kWarningIconText, 10, 10,
         iconDlu, iconDluY, 0},
        {kNoId, ControlKind::StaticText, body, textX, 10 + (bodyH - textH) / 2, textW, textH, NoPrefix},
        {IDOK, ControlKind::DefPushButton, "OK", (cx - 50) / 2, 10 + bodyH + 10, 50, 14, TabStop | GroupStart},
    };
    const DialogTemplate t{0, captionText, cx, cy, "", kTemplateFontPoints, Popup | Caption | SystemMenu | ModalFrame,
                           controls};
    Dialog box(t);
    box.doModal();
}

std::optional<std::string> FltkBackend::openFileDialog(const FileDialogOptions& options) {
    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.title(options.title.c_str());
    const std::string filter = fltk::chooserFilter(options.filter);
    if (!filter.empty()) chooser.filter(filter.c_str());
    const std::string& start = options.initialName;
    const std::size_t slash = start.rfind('/');
    const std::string dir = slash == std::string::npos ? sys::currentDirectory().value_or("") : start.substr(0, slash);
    const std::string file = slash == std::string::npos ? start : start.substr(slash + 1);
    if (!dir.empty()) chooser.directory(dir.c_str());
    if (!file.empty()) chooser.preset_file(file.c_str());
    while (true) {
        if (chooser.show() != 0 || !chooser.filename() || !*chooser.filename()) return std::nullopt;
        std::string chosen = chooser.filename();
        if (!options.fileMustExist || sys::fileExists(chosen)) return chosen;
    }
}

// ---------------------------------------------------------------- widget events

void userClick(const Owner& o) {
    FltkBackend* b = g_backend;
    if (!b || !b->isTop(o.shown) || o.shown->dlg->hasEnded()) return;
    if (b->isItemEnabled(*o.shown->dlg, o.id)) b->click(*o.shown->dlg, o.id);
}

void userSpin(const Owner& o, bool up) {
    FltkBackend* b = g_backend;
    if (!b || !b->isTop(o.shown) || o.shown->dlg->hasEnded()) return;
    if (b->isItemEnabled(*o.shown->dlg, o.id)) b->spin(*o.shown->dlg, o.id, up);
}

void userSelect(const Owner& o, int index) {
    FltkBackend* b = g_backend;
    if (!b || !b->isTop(o.shown) || o.shown->dlg->hasEnded() || index < 0) return;
    b->selectItem(*o.shown->dlg, o.id, index);
}

void userContextMenu(Shown& s, int x, int y) {
    if (FltkBackend* b = g_backend) b->contextMenu(s, x, y);
}

void userClose(Shown& s) {
    FltkBackend* b = g_backend;
    if (b && b->isTop(&s) && !s.dlg->hasEnded()) b->closeBox(*s.dlg);
}

bool drawnAsDefault(const Owner& o) {
    FltkBackend* b = g_backend;
    return b && o.shown->dlg && o.shown->dlg->isRunning() && b->defaultLook(*o.shown->dlg) == o.id;
}

bool buddyEnabled(const Owner& spin) {
    FltkBackend* b = g_backend;
    if (!b || !spin.shown->dlg) return false;
    const auto& controls = spin.shown->dlg->dialogTemplate().controls;
    for (std::size_t i = 1; i < controls.size(); ++i)
        if (controls[i].id == spin.id) return b->isItemEnabled(*spin.shown->dlg, controls[i - 1].id);
    return true;
}

std::string g_displayName;

// The X server has gone (killed, or the session ended): Xlib cannot go on
// and ends the process when this returns, so the program ends here, as the
// IDE expects it to end: with one error line and its usual status. What the
// dialog had not yet carried out is never carried out; every file write is
// over by then, since none waits for the X server.
int displayLost(Display*) {
    FltkBackend* b = g_backend;
    const Dialog* top = b ? b->topDialog() : nullptr;
    sys::writeLine(std::string(msg::kErrorPrefix) +
                   msg::displayLost(g_displayName, top ? top->dialogTemplate().caption : std::string_view()));
    if (ScriptDriver* driver = b ? b->script() : nullptr)
        driver->fail(driver->currentLine(), std::string(msg::kDisplayLostInScript));
    endProcess(0);
}

std::string resourceManager(Display* d) {
    const char* text = XResourceManagerString(d);
    return text ? text : "";
}

}  // namespace

}  // namespace ui

// The stamp of the interface this module was built for (see ui/fltk/module.h).
extern "C" __attribute__((visibility("default"))) const char vszebFltkInterface[] = VSZEB_FLTK_INTERFACE;

// The module's one entry point (see ui/fltk/module.h).
extern "C" __attribute__((visibility("default"))) ui::Backend* vszebFltkBackend(std::string& error) {
    const std::string display = sys::getEnv("DISPLAY");
    Display* d = display.empty() ? nullptr : XOpenDisplay(display.c_str());
    if (!d) {
        error = ui::msg::cannotOpenDisplay(display);
        return nullptr;
    }
    fl_open_display(d);
    // FLTK's own handler would print to standard error and exit with 1,
    // after fl_open_display has installed it.
    ui::g_displayName = display;
    XSetIOErrorHandler(&ui::displayLost);
    return new ui::FltkBackend(ui::fltk::xftDpi(ui::resourceManager(d)));
}
