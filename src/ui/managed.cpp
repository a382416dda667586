#include "ui/managed.h"

#include <algorithm>
#include <charconv>

namespace ui {

namespace {

std::optional<std::size_t> indexOf(const DialogTemplate& t, int id) {
    for (std::size_t i = 0; i < t.controls.size(); ++i)
        if (t.controls[i].id == id) return i;
    return std::nullopt;
}

bool isPushButton(ControlKind k) { return k == ControlKind::PushButton || k == ControlKind::DefPushButton; }

bool takesFocus(const ControlTemplate& c) {
    return c.kind != ControlKind::StaticText && c.kind != ControlKind::StaticIcon && c.kind != ControlKind::GroupBox;
}

}  // namespace

std::pair<std::size_t, std::size_t> controlGroup(const DialogTemplate& t, std::size_t index) {
    std::size_t first = index;
    while (first > 0 && !(t.controls[first].style & GroupStart)) --first;
    std::size_t last = index + 1;
    while (last < t.controls.size() && !(t.controls[last].style & GroupStart)) ++last;
    return {first, last};
}

std::string_view oneLineText(std::string_view text) { return text.substr(0, text.find_first_of("\r\n")); }

std::string editInput(const ControlTemplate& edit, std::string_view text) {
    if (!(edit.style & MultiLine)) text = oneLineText(text);
    if (!(edit.style & DigitsOnly)) return std::string(text);
    std::string digits;
    for (char c : text)
        if (c >= '0' && c <= '9') digits += c;
    return digits;
}

int spinStep(int current, int lower, int upper, bool up) {
    const int target = up ? upper : lower;
    int v = current;
    if (v < target)
        ++v;
    else if (v > target)
        --v;
    return std::clamp(v, std::min(lower, upper), std::max(lower, upper));
}

std::optional<int> readSpinValue(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    if (text.empty()) return 0;
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

int spinStart(std::string_view buddyText, int position, int lower, int upper) {
    const auto v = readSpinValue(buddyText);
    return v && *v >= std::min(lower, upper) && *v <= std::max(lower, upper) ? *v : position;
}

int ManagedBackend::firstTabStop(const Dialog& dlg) const {
    for (const auto& c : dlg.dialogTemplate().controls)
        if (takesFocus(c) && hasTabStop(dlg, c.id) && isItemEnabled(dlg, c.id)) return c.id;
    return kNoId;
}

int ManagedBackend::nextTabStop(const Dialog& dlg, int from) const {
    const auto& t = dlg.dialogTemplate();
    const std::size_t n = t.controls.size();
    const auto at = from == kNoId ? std::nullopt : indexOf(t, from);
    const std::size_t start = at ? *at : n - 1;
    for (std::size_t k = 1; k <= n; ++k) {
        const auto& c = t.controls[(start + k) % n];
        if (takesFocus(c) && hasTabStop(dlg, c.id) && isItemEnabled(dlg, c.id)) return c.id;
    }
    return from;
}

int ManagedBackend::defaultId(const Dialog& dlg) const {
    for (const auto& c : dlg.dialogTemplate().controls)
        if (c.kind == ControlKind::DefPushButton) return c.id;
    return IDOK;
}

int ManagedBackend::returnTarget(const Dialog& dlg) const {
    const int focus = focusedItem(dlg);
    if (focus != kNoId && focus == defaultLook(dlg) && isItemEnabled(dlg, focus)) return focus;
    return defaultId(dlg);
}

void ManagedBackend::moveDefaultLook(Dialog& dlg, int id) {
    const auto& t = dlg.dialogTemplate();
    const auto* c = t.find(id);
    if (!c || !isPushButton(c->kind)) {
        c = t.find(defaultId(dlg));
        if (c && !isPushButton(c->kind)) c = nullptr;
    }
    setDefaultLook(dlg, c ? c->id : kNoId);
}

void ManagedBackend::setFocus(Dialog& dlg, int id) {
    giveFocus(dlg, id);
    if (id != kNoId && focusedItem(dlg) == id) moveDefaultLook(dlg, id);
}

void ManagedBackend::click(Dialog& dlg, int id) {
    const auto& t = dlg.dialogTemplate();
    const auto at = indexOf(t, id);
    if (!at) return;
    const ControlTemplate& c = t.controls[*at];
    // The mouse gives the focus without the dialog manager: the default look
    // stays where it was, so Return after a click on a push button presses
    // the default one.
    giveFocus(dlg, id);
    if (c.style & Automatic) {
        if (c.kind == ControlKind::CheckBox) setCheck(dlg, id, !isChecked(dlg, id));
        if (c.kind == ControlKind::RadioButton) {
            const auto [first, last] = controlGroup(t, *at);
            for (std::size_t i = first; i < last; ++i) {
                const auto& other = t.controls[i];
                if (other.kind == ControlKind::RadioButton && (other.style & Automatic))
                    setCheck(dlg, other.id, i == *at);
            }
        }
    }
    dlg.command(id, Notify::Clicked);
}

void ManagedBackend::typeText(Dialog& dlg, int id, std::string_view text) {
    const ControlTemplate* c = dlg.dialogTemplate().find(id);
    if (!c) return;
    setFocus(dlg, id);
    setItemText(dlg, id, editInput(*c, text));
}

void ManagedBackend::selectItem(Dialog& dlg, int id, int index) {
    setFocus(dlg, id);
    comboSetSelection(dlg, id, index);
    dlg.command(id, Notify::SelChange);
}

void ManagedBackend::spin(Dialog& dlg, int id, bool up) {
    const auto& t = dlg.dialogTemplate();
    const auto at = indexOf(t, id);
    if (!at || *at == 0) return;
    const ControlTemplate& c = t.controls[*at];
    const int buddy = t.controls[*at - 1].id;
    // An up-down control whose buddy is disabled is disabled with it.
    if (!isItemEnabled(dlg, id) || !isItemEnabled(dlg, buddy)) return;
    // A click on an arrow puts the focus in the buddy edit, as the mouse does.
    if (t.controls[*at - 1].kind == ControlKind::Edit) giveFocus(dlg, buddy);
    const bool buddyInt = (c.style & SpinSetBuddyInt) != 0;
    const auto [lower, upper] = spinRange(dlg, id);
    const int position = spinPosition(dlg, id);
    const int from = buddyInt ? spinStart(itemText(dlg, buddy), position, lower, upper) : position;
    const int to = spinStep(from, lower, upper, up);
    spinSetPosition(dlg, id, to);
    // At the end of the range the step changes nothing, and the text is left as it is.
    if (buddyInt && to != from) setItemText(dlg, buddy, std::to_string(to));
}

void ManagedBackend::pressKey(Dialog& dlg, Key key) {
    switch (key) {
        case Key::Escape:
            dlg.command(IDCANCEL, Notify::Clicked);
            return;
        case Key::Tab:
            setFocus(dlg, nextTabStop(dlg, focusedItem(dlg)));
            return;
        case Key::Return: {
            if (focusWantsReturn(dlg)) {
                const int focus = focusedItem(dlg);
                setItemText(dlg, focus, itemText(dlg, focus) + "\r\n");
                return;
            }
            const int target = returnTarget(dlg);
            if (hasControl(dlg, target) && !isItemEnabled(dlg, target)) return;
            dlg.command(target, Notify::Clicked);
            return;
        }
    }
}

void ManagedBackend::closeBox(Dialog& dlg) { dlg.close(); }

bool ManagedBackend::focusWantsReturn(const Dialog& dlg) const {
    const auto* f = dlg.dialogTemplate().find(focusedItem(dlg));
    return f && f->kind == ControlKind::Edit && (f->style & MultiLine) && (f->style & WantReturn);
}

void ManagedBackend::backTab(Dialog& dlg) {
    const auto& t = dlg.dialogTemplate();
    const std::size_t n = t.controls.size();
    const int from = focusedItem(dlg);
    const auto at = from == kNoId ? std::nullopt : indexOf(t, from);
    const std::size_t start = at ? *at : 0;
    for (std::size_t k = 1; k <= n; ++k) {
        const auto& c = t.controls[(start + n - k) % n];
        if (takesFocus(c) && hasTabStop(dlg, c.id) && isItemEnabled(dlg, c.id)) {
            setFocus(dlg, c.id);
            return;
        }
    }
}

bool ManagedBackend::arrowKey(Dialog& dlg, bool forward, bool vertical) {
    const auto& t = dlg.dialogTemplate();
    const int focus = focusedItem(dlg);
    const auto at = focus == kNoId ? std::nullopt : indexOf(t, focus);
    if (!at) return false;
    const ControlTemplate& c = t.controls[*at];
    if (c.kind == ControlKind::ComboBox) {
        const int to = comboSelection(dlg, focus) + (forward ? 1 : -1);
        if (to >= 0 && to < comboCount(dlg, focus)) selectItem(dlg, focus, to);
        return true;
    }
    if (c.kind == ControlKind::Edit) {
        const bool spinFollows = *at + 1 < t.controls.size() && t.controls[*at + 1].kind == ControlKind::Spin &&
                                 (t.controls[*at + 1].style & SpinArrowKeys);
        if (!vertical || !spinFollows) return false;
        // an up-down control counts towards its upper end with the up arrow
        spin(dlg, t.controls[*at + 1].id, !forward);
        return true;
    }
    const auto [first, last] = controlGroup(t, *at);
    const std::size_t n = last - first;
    for (std::size_t k = 1; k < n; ++k) {
        const std::size_t i = first + (forward ? (*at - first + k) % n : (*at - first + n - k) % n);
        const auto& other = t.controls[i];
        if (!takesFocus(other) || !isItemEnabled(dlg, other.id)) continue;
        if (other.kind == ControlKind::RadioButton && (other.style & Automatic))
            click(dlg, other.id);
        else
            setFocus(dlg, other.id);
        return true;
    }
    return true;
}

bool ManagedBackend::spaceKey(Dialog& dlg) {
    const int focus = focusedItem(dlg);
    const auto* f = dlg.dialogTemplate().find(focus);
    if (!f || !(isPushButton(f->kind) || f->kind == ControlKind::CheckBox || f->kind == ControlKind::RadioButton))
        return false;
    if (isItemEnabled(dlg, focus)) click(dlg, focus);
    return true;
}

bool ManagedBackend::mnemonicKey(Dialog& dlg, char letter) {
    const auto& t = dlg.dialogTemplate();
    const std::size_t n = t.controls.size();
    if (n == 0) return false;
    const auto lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    const int focus = focusedItem(dlg);
    const auto at = focus == kNoId ? std::nullopt : indexOf(t, focus);
    const std::size_t start = at ? *at : n - 1;
    for (std::size_t k = 1; k <= n; ++k) {
        const std::size_t i = (start + k) % n;
        const auto& c = t.controls[i];
        if (c.kind == ControlKind::ComboBox || c.kind == ControlKind::Edit || (c.style & NoPrefix)) continue;
        const bool ownId = c.id != kNoId && hasControl(dlg, c.id);
        if (mnemonicOf(ownId ? itemText(dlg, c.id) : std::string(c.text)) != lower) continue;
        if (ownId && !isItemEnabled(dlg, c.id)) continue;
        if (isPushButton(c.kind) || c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton) {
            click(dlg, c.id);
            return true;
        }
        // a label: the focus goes to the control that it names, the next tab stop
        for (std::size_t j = i + 1; j < n; ++j) {
            const auto& next = t.controls[j];
            if (takesFocus(next) && isItemEnabled(dlg, next.id)) {
                setFocus(dlg, next.id);
                return true;
            }
        }
        return true;
    }
    return false;
}

bool ManagedBackend::homeEndKey(Dialog& dlg, bool end) {
    const int focus = focusedItem(dlg);
    const auto* f = dlg.dialogTemplate().find(focus);
    if (!f || f->kind != ControlKind::ComboBox) return false;
    const int count = comboCount(dlg, focus);
    const int to = end ? count - 1 : 0;
    if (count > 0 && to != comboSelection(dlg, focus)) selectItem(dlg, focus, to);
    return true;
}

bool ManagedBackend::charKey(Dialog& dlg, char c) {
    const int focus = focusedItem(dlg);
    const auto* f = dlg.dialogTemplate().find(focus);
    const auto lower = [](char x) { return static_cast<char>(x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x); };
    if (f && f->kind == ControlKind::ComboBox) {
        const int count = comboCount(dlg, focus);
        const int from = comboSelection(dlg, focus);
        for (int k = 1; k <= count; ++k) {
            const int i = ((from < 0 ? -1 : from) + k) % count;
            const std::string entry = comboItem(dlg, focus, i);
            if (!entry.empty() && lower(entry[0]) == lower(c)) {
                if (i != from) selectItem(dlg, focus, i);
                break;
            }
        }
        return true;
    }
    if (f && !(isPushButton(f->kind) || f->kind == ControlKind::CheckBox || f->kind == ControlKind::RadioButton))
        return false;
    if (c == ' ') return false;
    mnemonicKey(dlg, c);
    return true;
}

char mnemonicOf(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        const char c = text[i + 1];
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return 0;
}

void ManagedBackend::chooseSystemCommand(Dialog& dlg, unsigned command) { dlg.sysCommand(command); }

}  // namespace ui
