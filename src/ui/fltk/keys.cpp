// The person's keys and the system menu: FLTK hands every key to the
// dialog manager's rules first, and the menu of the right mouse button or
// Alt+Space is the dialog's system menu.
#include <FL/Fl.H>
#include <FL/Fl_Menu_Item.H>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/fltk/backend.h"
#include "ui/fltk/text.h"
#include "ui/fltk/x11.h"
#include "ui/messages.h"

namespace ui::fltk {

void FltkBackend::contextMenu(Shown& s, int x, int y) {
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
    if ((command & 0xFFF0u) == SC_MOVE && !s.dlg->hasEnded() && isTop(&s)) x11::startKeyboardMove(*s.window);
}

// Keys reach the dialog before the focused widget, as with the Win32
// dialog manager: what the rules take, the widget never sees. An open
// pop-up menu holds the grab, and the keys are its own.
int FltkBackend::dispatchEvent(int event, Fl_Window* window) {
    auto* dialogWindow = dynamic_cast<DialogWindow*>(window);
    FltkBackend* self = dialogWindow ? &static_cast<Shown&>(dialogWindow->input()).backend : nullptr;
    if (self && event == FL_KEYBOARD && !Fl::grab()) {
        Shown* s = self->top();
        if (s && s->window.get() == window && !s->dlg->hasEnded() && self->key(*s)) return 1;
    }
    return Fl::handle_(event, window);
}

bool FltkBackend::key(Shown& s) {
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
bool FltkBackend::openList(Shown& s) {
    const Control* c = s.find(focusedItem(*s.dlg));
    if (!c || c->tmpl->kind != ControlKind::ComboBox) return false;
    static_cast<DropDownList*>(c->widget)->openList();
    return true;
}

}  // namespace ui::fltk
