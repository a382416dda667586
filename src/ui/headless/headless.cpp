#include "ui/headless/headless.h"

#include <charconv>

#include "sys/console.h"
#include "ui/messages.h"

namespace ui {

namespace {


struct ControlState {
    const ControlTemplate* tmpl = nullptr;
    std::string text;
    bool checked = false;
    bool enabled = true;
    bool tabStop = false;
    std::vector<std::string> items;
    int selection = -1;
    int spinLower = 100, spinUpper = 0;  // an up-down control's default range
    int spinPosition = 0;
};

[[noreturn]] void cannotShow(const std::string& reason) {
    sys::writeLine(std::string(msg::kErrorPrefix) + reason);
    endProcess(0);
}

}  // namespace

struct HeadlessBackend::Window {
    Dialog* dlg = nullptr;
    std::vector<ControlState> controls;
    int focus = kNoId;
    int defaultLook = kNoId;
    std::vector<std::pair<unsigned, std::string>> sysMenu;
    Icon bigIcon, smallIcon;

    ControlState* find(int id) {
        if (id == kNoId) return nullptr;
        for (auto& c : controls)
            if (c.tmpl->id == id) return &c;
        return nullptr;
    }
    const ControlState* find(int id) const { return const_cast<Window*>(this)->find(id); }
};

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

HeadlessBackend::Window* HeadlessBackend::win(const Dialog& dlg) const { return static_cast<Window*>(window(dlg)); }

void HeadlessBackend::runModal(Dialog& dlg) {
    ScriptDriver* driver = script();
    if (!driver) cannotShow(msg::cannotShowDialog(dlg.dialogTemplate().caption));

    Window w;
    w.dlg = &dlg;
    for (const auto& c : dlg.dialogTemplate().controls) {
        ControlState s;
        s.tmpl = &c;
        s.tabStop = (c.style & TabStop) != 0;
        if (c.kind != ControlKind::ComboBox) s.text = std::string(c.text);
        if (c.kind == ControlKind::DefPushButton) w.defaultLook = c.id;
        w.controls.push_back(std::move(s));
    }
    struct Shown {
        HeadlessBackend& b;
        Dialog& d;
        ~Shown() {
            b.stack_.pop_back();
            setWindow(d, nullptr);
        }
    };
    setWindow(dlg, &w);
    stack_.push_back(&w);
    Shown shown{*this, dlg};

    if (!dlg.initialize() && !dlg.hasEnded()) giveFocus(dlg, firstTabStop(dlg));
    while (!dlg.hasEnded()) driver->step(dlg);
}

Dialog* HeadlessBackend::topDialog() const { return stack_.empty() ? nullptr : stack_.back()->dlg; }

std::string HeadlessBackend::caption(const Dialog& dlg) const { return std::string(dlg.dialogTemplate().caption); }

bool HeadlessBackend::hasControl(const Dialog& dlg, int id) const {
    const Window* w = win(dlg);
    return w && w->find(id);
}

void HeadlessBackend::setItemText(Dialog& dlg, int id, std::string_view text) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) {
        // a drop-down list shows its selected entry and has no text of its own
        if (c->tmpl->kind != ControlKind::ComboBox) c->text = std::string(text);
    }
}

std::string HeadlessBackend::itemText(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    if (!c) return {};
    if (c->tmpl->kind == ControlKind::ComboBox)
        return c->selection >= 0 ? c->items[static_cast<std::size_t>(c->selection)] : std::string();
    return c->text;
}

void HeadlessBackend::setCheck(Dialog& dlg, int id, bool checked) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) {
        c->checked = checked;
        if (c->tmpl->kind == ControlKind::RadioButton) c->tabStop = checked;
    }
}

bool HeadlessBackend::isChecked(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c && c->checked;
}

void HeadlessBackend::enableItem(Dialog& dlg, int id, bool enabled) {
    Window* w = win(dlg);
    auto* c = w ? w->find(id) : nullptr;
    if (!c) return;
    c->enabled = enabled;
    // A control that is disabled loses the focus, as a window does.
    if (!enabled && w->focus == id) w->focus = kNoId;
}

bool HeadlessBackend::isItemEnabled(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c && c->enabled;
}

bool HeadlessBackend::hasTabStop(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c && c->tabStop;
}

void HeadlessBackend::giveFocus(Dialog& dlg, int id) {
    Window* w = win(dlg);
    if (!w) return;
    if (const auto* c = w->find(id); c && c->enabled) w->focus = id;
}

int HeadlessBackend::focusedItem(const Dialog& dlg) const {
    const Window* w = win(dlg);
    return w ? w->focus : kNoId;
}

int HeadlessBackend::defaultLook(const Dialog& dlg) const {
    const Window* w = win(dlg);
    return w ? w->defaultLook : kNoId;
}

void HeadlessBackend::setDefaultLook(Dialog& dlg, int id) {
    if (Window* w = win(dlg)) w->defaultLook = id;
}

void HeadlessBackend::comboReset(Dialog& dlg, int id) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) {
        c->items.clear();
        c->selection = -1;
    }
}

void HeadlessBackend::comboAdd(Dialog& dlg, int id, std::string_view text) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) c->items.emplace_back(text);
}

void HeadlessBackend::comboSetSelection(Dialog& dlg, int id, int index) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr)
        c->selection = index >= 0 && index < static_cast<int>(c->items.size()) ? index : -1;
}

int HeadlessBackend::comboSelection(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c ? c->selection : -1;
}

int HeadlessBackend::comboCount(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c ? static_cast<int>(c->items.size()) : 0;
}

std::string HeadlessBackend::comboItem(const Dialog& dlg, int id, int index) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    if (!c || index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[static_cast<std::size_t>(index)];
}

void HeadlessBackend::spinSetRange(Dialog& dlg, int id, int lower, int upper) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) {
        c->spinLower = lower;
        c->spinUpper = upper;
    }
}

std::pair<int, int> HeadlessBackend::spinRange(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c ? std::pair{c->spinLower, c->spinUpper} : std::pair{100, 0};
}

int HeadlessBackend::spinPosition(const Dialog& dlg, int id) const {
    const auto* c = win(dlg) ? win(dlg)->find(id) : nullptr;
    return c ? c->spinPosition : 0;
}

void HeadlessBackend::spinSetPosition(Dialog& dlg, int id, int position) {
    if (auto* c = win(dlg) ? win(dlg)->find(id) : nullptr) c->spinPosition = position;
}

bool HeadlessBackend::hasSystemMenu(const Dialog& dlg) const {
    return win(dlg) && (dlg.dialogTemplate().windowStyle & SystemMenu);
}

void HeadlessBackend::appendSystemMenuSeparator(Dialog& dlg) {
    if (hasSystemMenu(dlg)) win(dlg)->sysMenu.emplace_back(0u, std::string());
}

void HeadlessBackend::appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) {
    if (hasSystemMenu(dlg)) win(dlg)->sysMenu.emplace_back(command, std::string(text));
}

std::vector<unsigned> HeadlessBackend::systemMenuCommands(const Dialog& dlg) const {
    if (!hasSystemMenu(dlg)) return {};
    // a modal frame's system menu: Move and Close, then what was appended
    std::vector<unsigned> cmds{SC_MOVE, SC_CLOSE};
    for (const auto& [cmd, text] : win(dlg)->sysMenu)
        if (cmd != 0) cmds.push_back(cmd);
    return cmds;
}

std::vector<std::pair<unsigned, std::string>> HeadlessBackend::systemMenu(const Dialog& dlg) const {
    return win(dlg) ? win(dlg)->sysMenu : std::vector<std::pair<unsigned, std::string>>{};
}

void HeadlessBackend::setIcon(Dialog& dlg, Icon icon, bool big) {
    if (Window* w = win(dlg)) (big ? w->bigIcon : w->smallIcon) = icon;
}

Icon HeadlessBackend::icon(const Dialog& dlg, bool big) const {
    const Window* w = win(dlg);
    return w ? (big ? w->bigIcon : w->smallIcon) : Icon{};
}

void HeadlessBackend::messageBox(std::string_view text, std::string_view caption, MessageIcon) {
    cannotShow(msg::cannotShowMessageBox(quoteScriptString(caption), quoteScriptString(text)));
}

std::optional<std::string> HeadlessBackend::openFileDialog(const FileDialogOptions& options) {
    cannotShow(msg::cannotShowFileDialog(options.title));
}

void HeadlessBackend::screenshot(Dialog&, const std::string&) {}

// ---------------------------------------------------------------- test session

HeadlessSession::HeadlessSession(std::string_view scriptText) {
    ParsedScript parsed = parseScript(scriptText);
    if (parsed.error)
        throw ScriptFailure(std::string(msg::kScriptPrefix) + std::to_string(parsed.error->line) + ": " +
                            parsed.error->message);
    driver_ = std::make_unique<ScriptDriver>(backend_, std::move(parsed.script));
    driver_->onFailure = [](const std::string& line) { throw ScriptFailure(line); };
    backend_.setScript(driver_.get());
    previous_ = setBackend(&backend_);
}

HeadlessSession::~HeadlessSession() { setBackend(previous_); }

}  // namespace ui
