#include "ui/fltk/backend.h"

#include <FL/Fl.H>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "res/resources.h"
#include "sys/console.h"
#include "ui/fltk/text.h"
#include "ui/fltk/x11.h"
#include "ui/messages.h"
#include "ui/script.h"

namespace ui::fltk {

namespace {

constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

}  // namespace

FltkBackend::FltkBackend(double dpi) : dpi_(dpi) {
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
    x11::whenDisplayLost([this](const std::string& display) { displayLost(display); });
}

FltkBackend::~FltkBackend() {
    Fl::event_dispatch(nullptr);
    x11::whenDisplayLost(nullptr);
}

void FltkBackend::runModal(Dialog& dlg) {
    Shown s(*this, dlg);
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
            if (Shown* below = b.top(); below && below->window) x11::raiseAndFocus(*below->window);
        }
    } pop{*this, s};

    if (!dlg.initialize() && !dlg.hasEnded()) giveFocus(dlg, firstTabStop(dlg));
    if (dlg.hasEnded()) return;
    show(s);
    if (script()) Fl::add_timeout(0.0, &FltkBackend::stepTimeout, &s);
    while (!dlg.hasEnded()) Fl::wait();
}

void FltkBackend::setItemText(Dialog& dlg, int id, std::string_view text) {
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

std::string FltkBackend::itemText(const Dialog& dlg, int id) const {
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

void FltkBackend::setCheck(Dialog& dlg, int id, bool checked) {
    Control* c = control(dlg, id);
    if (!c) return;
    if (auto* b = dynamic_cast<Fl_Button*>(c->widget); b && c->tmpl->kind != ControlKind::PushButton &&
                                                        c->tmpl->kind != ControlKind::DefPushButton)
        b->value(checked ? 1 : 0);
    if (c->tmpl->kind == ControlKind::RadioButton) c->tabStop = checked;
}

bool FltkBackend::isChecked(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    if (!c || (c->tmpl->kind != ControlKind::CheckBox && c->tmpl->kind != ControlKind::RadioButton)) return false;
    return static_cast<const Fl_Button*>(c->widget)->value() != 0;
}

void FltkBackend::enableItem(Dialog& dlg, int id, bool enabled) {
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

bool FltkBackend::isItemEnabled(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    return c && c->widget->active();
}

bool FltkBackend::hasTabStop(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    return c && c->tabStop;
}

void FltkBackend::giveFocus(Dialog& dlg, int id) {
    Control* c = control(dlg, id);
    if (!c || !c->widget->active()) return;
    if (c->widget->visible_focus())
        c->widget->take_focus();
    else
        Fl::focus(c->widget);
    redrawButtons(*shown(dlg));
}

void FltkBackend::setDefaultLook(Dialog& dlg, int id) {
    if (Shown* s = shown(dlg)) {
        s->defaultLook = id;
        redrawButtons(*s);
    }
}

int FltkBackend::focusedItem(const Dialog& dlg) const {
    const Shown* s = shown(dlg);
    if (!s) return kNoId;
    for (Fl_Widget* f = Fl::focus(); f; f = f->parent())
        for (const auto& c : s->controls)
            if (c.widget == f) return c.tmpl->id;
    return kNoId;
}

void FltkBackend::comboReset(Dialog& dlg, int id) {
    if (Control* c = combo(dlg, id)) {
        c->items.clear();
        rebuildChoice(*c, -1);
    }
}

void FltkBackend::comboAdd(Dialog& dlg, int id, std::string_view text) {
    if (Control* c = combo(dlg, id)) {
        const int selected = comboSelection(dlg, id);
        c->items.emplace_back(text);
        rebuildChoice(*c, selected);
    }
}

void FltkBackend::comboSetSelection(Dialog& dlg, int id, int index) {
    if (Control* c = combo(dlg, id))
        choice(*c)->value(index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1);
}

int FltkBackend::comboSelection(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    if (!c || c->tmpl->kind != ControlKind::ComboBox) return -1;
    return static_cast<const Fl_Choice*>(c->widget)->value();
}

int FltkBackend::comboCount(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string FltkBackend::comboItem(const Dialog& dlg, int id, int index) const {
    const Control* c = control(dlg, id);
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[static_cast<std::size_t>(index)];
}

void FltkBackend::spinSetRange(Dialog& dlg, int id, int lower, int upper) {
    if (Control* c = control(dlg, id)) {
        c->spinLower = lower;
        c->spinUpper = upper;
    }
}

std::pair<int, int> FltkBackend::spinRange(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    return c ? std::pair{c->spinLower, c->spinUpper} : std::pair{100, 0};
}

int FltkBackend::spinPosition(const Dialog& dlg, int id) const {
    const Control* c = control(dlg, id);
    return c ? c->spinPosition : 0;
}

void FltkBackend::spinSetPosition(Dialog& dlg, int id, int position) {
    if (Control* c = control(dlg, id)) c->spinPosition = position;
}

bool FltkBackend::hasSystemMenu(const Dialog& dlg) const {
    return shown(dlg) && (dlg.dialogTemplate().windowStyle & SystemMenu);
}

void FltkBackend::appendSystemMenuSeparator(Dialog& dlg) {
    if (hasSystemMenu(dlg)) shown(dlg)->sysMenu.emplace_back(0u, std::string());
}

void FltkBackend::appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) {
    if (hasSystemMenu(dlg)) shown(dlg)->sysMenu.emplace_back(command, std::string(text));
}

// X11 windows have no system menu of their own: the dialog's offers
// Move and Close, as a modal frame's does on Windows, and what was appended.
std::vector<unsigned> FltkBackend::systemMenuCommands(const Dialog& dlg) const {
    if (!hasSystemMenu(dlg)) return {};
    std::vector<unsigned> cmds{SC_MOVE, SC_CLOSE};
    for (const auto& [cmd, text] : shown(dlg)->sysMenu)
        if (cmd != 0) cmds.push_back(cmd);
    return cmds;
}

void FltkBackend::setIcon(Dialog& dlg, Icon icon, bool big) {
    Shown* s = shown(dlg);
    if (!s || !icon || !big) return;
    s->images = iconImages(icon.resourceId, 1);
    if (iconScale_ > 1)
        for (auto& img : iconImages(icon.resourceId, iconScale_)) s->images.push_back(std::move(img));
    setWindowIcons(*s->window, s->images);
}

Control* FltkBackend::control(const Dialog& dlg, int id) {
    Shown* s = shown(dlg);
    return s ? s->find(id) : nullptr;
}

Control* FltkBackend::combo(const Dialog& dlg, int id) {
    Control* c = control(dlg, id);
    return c && c->tmpl->kind == ControlKind::ComboBox ? c : nullptr;
}

void FltkBackend::rebuildChoice(Control& c, int selected) {
    Fl_Choice* ch = choice(c);
    ch->clear();
    for (const auto& item : c.items) ch->add(fltk::choiceEntryText(item).c_str());
    ch->value(selected >= 0 && selected < static_cast<int>(c.items.size()) ? selected : -1);
    ch->redraw();
}

void FltkBackend::redrawButtons(Shown& s) {
    for (auto& c : s.controls)
        if (c.tmpl->kind == ControlKind::PushButton || c.tmpl->kind == ControlKind::DefPushButton)
            c.widget->redraw();
}

void FltkBackend::show(Shown& s) {
    DialogWindow& w = *s.window;
    w.show();
    w.wait_for_expose();
    x11::raiseAndFocus(w);
}

void FltkBackend::stepTimeout(void* data) {
    auto* s = static_cast<Shown*>(data);
    FltkBackend* self = &s->backend;
    if (!self->isTop(s) || s->dlg->hasEnded()) return;
    if (ScriptDriver* driver = self->script()) driver->step(*s->dlg);
    if (!s->dlg->hasEnded() && self->isTop(s)) Fl::add_timeout(0.0, &FltkBackend::stepTimeout, s);
}

// The X server has gone (killed, or the session ended): Xlib cannot go on
// and ends the process when this returns, so the program ends here, as the
// IDE expects it to end: with one error line and its usual status. What the
// dialog had not yet carried out is never carried out; every file write is
// over by then, since none waits for the X server.
void FltkBackend::displayLost(const std::string& display) {
    const Dialog* dlg = topDialog();
    sys::writeLine(std::string(msg::kErrorPrefix) +
                   msg::displayLost(display, dlg ? dlg->dialogTemplate().caption : std::string_view()));
    if (ScriptDriver* driver = script()) driver->fail(driver->currentLine(), std::string(msg::kDisplayLostInScript));
    endProcess(0);
}

// ---------------------------------------------------------------- a shown dialog's input

// Input reaches only the dialog on top, and only while it runs.
bool Shown::takesInput() const { return backend.isTop(this) && !dlg->hasEnded(); }

void Shown::click(int id) {
    if (takesInput() && backend.isItemEnabled(*dlg, id)) backend.click(*dlg, id);
}

void Shown::spin(int id, bool up) {
    if (takesInput() && backend.isItemEnabled(*dlg, id)) backend.spin(*dlg, id, up);
}

void Shown::select(int id, int index) {
    if (takesInput() && index >= 0) backend.selectItem(*dlg, id, index);
}

void Shown::contextMenu(int x, int y) { backend.contextMenu(*this, x, y); }

void Shown::closeBox() {
    if (takesInput()) backend.closeBox(*dlg);
}

bool Shown::drawnAsDefault(int id) const { return dlg->isRunning() && backend.defaultLook(*dlg) == id; }

bool Shown::buddyEnabled(int spinId) const {
    const auto& controls = dlg->dialogTemplate().controls;
    for (std::size_t i = 1; i < controls.size(); ++i)
        if (controls[i].id == spinId) return backend.isItemEnabled(*dlg, controls[i - 1].id);
    return true;
}

}  // namespace ui::fltk
