// The UI script parser and driver. Failure texts say what the line expected
// and what the program showed instead (ui/messages.h).
#include "ui/script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "ui/messages.h"

namespace ui {

// ---------------------------------------------------------------- parser

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Splits one line into words and strings; an error message on a bad string.
std::optional<std::string> tokenize(std::string_view line, std::vector<Token>& out) {
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && isBlank(line[i])) ++i;
        if (i >= line.size()) return std::nullopt;
        Token t;
        if (line[i] == '"') {
            t.quoted = true;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c != '\\') {
                    t.text += c;
                    continue;
                }
                if (i >= line.size()) return std::string(msg::kLoneBackslash);
                const char e = line[i++];
                switch (e) {
                    case '"': t.text += '"'; break;
                    case '\\': t.text += '\\'; break;
                    case 'n': t.text += '\n'; break;
                    case 'r': t.text += '\r'; break;
                    default: return msg::unknownEscape(e);
                }
            }
            if (!closed) return std::string(msg::kUnclosedString);
            if (i < line.size() && !isBlank(line[i])) return std::string(msg::kStringNeedsBlank);
        } else {
            while (i < line.size() && !isBlank(line[i])) t.text += line[i++];
        }
        out.push_back(std::move(t));
    }
}

class LineParser {
public:
    LineParser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    std::optional<std::string> error;

    bool more() const { return pos_ < tokens_.size(); }

    std::string word(std::string_view what) {
        if (error) return {};
        if (!more() || tokens_[pos_].quoted) {
            error = msg::missing(what);
            return {};
        }
        return tokens_[pos_++].text;
    }

    std::string string(std::string_view what) {
        if (error) return {};
        if (!more() || !tokens_[pos_].quoted) {
            error = msg::missingString(what);
            return {};
        }
        return tokens_[pos_++].text;
    }

    long long number(std::string_view what, long long max) {
        const std::string w = word(what);
        if (error) return 0;
        long long v = 0;
        const auto [end, ec] = std::from_chars(w.data(), w.data() + w.size(), v);
        if (w.empty() || w[0] == '-' || w[0] == '+' || ec != std::errc() || end != w.data() + w.size() ||
            v > max) {
            error = msg::wrongWord(what, w);
            return 0;
        }
        return v;
    }

    bool yesNo() {
        const std::string w = word(msg::kYesOrNo);
        if (error) return false;
        if (w == "yes") return true;
        if (w != "no") error = msg::wrongWord(msg::kYesOrNo, w);
        return false;
    }

    void end() {
        if (!error && more()) error = msg::unexpectedAtEnd(tokens_[pos_].text);
    }

private:
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
};

constexpr long long kMaxId = 65535;
constexpr long long kMaxNumber = 0xFFFFFFFFLL;

// The operands of an action after its word: they fill `a`. A returned error
// ends the line at once; the parser's own error is looked at afterwards.
using OperandParser = std::optional<std::string> (*)(LineParser&, ScriptAction&);

template <typename Entry>
const Entry* findWord(const std::vector<Entry>& table, std::string_view word) {
    const auto it = std::find_if(table.begin(), table.end(), [&](const Entry& e) { return e.word == word; });
    return it == table.end() ? nullptr : &*it;
}

std::optional<std::string> controlId(LineParser& p, ScriptAction& a) {
    a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
    return std::nullopt;
}

struct Expectation {
    std::string_view word;
    ScriptOp op;
    OperandParser operands;  // after the control id
};

const std::vector<Expectation> kExpectations = {
    {"text", ScriptOp::ExpectText,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.strings.push_back(p.string(msg::kTheText));
         return std::nullopt;
     }},
    {"checked", ScriptOp::ExpectChecked,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.flag = p.yesNo();
         return std::nullopt;
     }},
    {"enabled", ScriptOp::ExpectEnabled,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.flag = p.yesNo();
         return std::nullopt;
     }},
    {"focus", ScriptOp::ExpectFocus, [](LineParser&, ScriptAction&) -> std::optional<std::string> { return {}; }},
    {"items", ScriptOp::ExpectItems,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         while (!p.error && p.more()) a.strings.push_back(p.string(msg::kAnEntry));
         return std::nullopt;
     }},
    {"selected", ScriptOp::ExpectSelected,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.number = p.number(msg::kAnEntryNumber, kMaxId);
         return std::nullopt;
     }},
};

const std::vector<std::pair<std::string_view, Key>> kKeys = {
    {"return", Key::Return}, {"escape", Key::Escape}, {"tab", Key::Tab}};

struct Verb {
    std::string_view word;
    ScriptOp op;
    OperandParser operands;
};

const std::vector<Verb> kVerbs = {
    {"dialog", ScriptOp::Dialog,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.strings.push_back(p.string(msg::kTheCaption));
         return std::nullopt;
     }},
    {"click", ScriptOp::Click, controlId},
    {"type", ScriptOp::Type,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         controlId(p, a);
         a.strings.push_back(p.string(msg::kTheText));
         return std::nullopt;
     }},
    {"select", ScriptOp::Select,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         controlId(p, a);
         a.number = p.number(msg::kAnEntryNumber, kMaxId);
         return std::nullopt;
     }},
    {"spin", ScriptOp::Spin,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         controlId(p, a);
         const std::string dir = p.word(msg::kUpOrDown);
         if (!p.error && dir != "up" && dir != "down") p.error = msg::wrongWord(msg::kUpOrDown, dir);
         a.flag = dir == "up";
         return std::nullopt;
     }},
    {"key", ScriptOp::Key,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         const std::string k = p.word(msg::kAKey);
         const auto it = std::find_if(kKeys.begin(), kKeys.end(), [&](const auto& e) { return e.first == k; });
         if (it != kKeys.end())
             a.key = it->second;
         else if (!p.error)
             p.error = msg::wrongWord(msg::kAKey, k);
         return std::nullopt;
     }},
    {"close", ScriptOp::Close, [](LineParser&, ScriptAction&) -> std::optional<std::string> { return {}; }},
    {"syscommand", ScriptOp::SysCommand,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.number = p.number(msg::kASystemCommand, kMaxNumber);
         return std::nullopt;
     }},
    {"expect", ScriptOp::ExpectText,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         const std::string what = p.word(msg::kAnExpectation);
         if (p.error) return p.error;
         controlId(p, a);
         const Expectation* e = findWord(kExpectations, what);
         if (!e) return msg::unknownExpectation(what);
         a.op = e->op;
         return e->operands(p, a);
     }},
    {"messagebox", ScriptOp::MessageBox,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.strings.push_back(p.string(msg::kTheCaption));
         a.strings.push_back(p.string(msg::kTheText));
         return std::nullopt;
     }},
    {"filedialog", ScriptOp::FileDialog,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         if (p.more() && !p.error) {
             // either a quoted path or the word cancel
             LineParser probe = p;
             const std::string w = probe.word("");
             if (!probe.error) {
                 if (w != "cancel") return msg::wrongWord(msg::kPathOrCancel, w);
                 p = probe;
                 a.flag = true;
                 return std::nullopt;
             }
         }
         a.strings.push_back(p.string(msg::kAPath));
         return std::nullopt;
     }},
    {"screenshot", ScriptOp::Screenshot,
     [](LineParser& p, ScriptAction& a) -> std::optional<std::string> {
         a.strings.push_back(p.string(msg::kAFileName));
         return std::nullopt;
     }},
};

std::optional<std::string> parseAction(std::vector<Token> tokens, ScriptAction& a) {
    LineParser p(std::move(tokens));
    const std::string word = p.word(msg::kAnAction);
    if (p.error) return p.error;
    const Verb* verb = findWord(kVerbs, word);
    if (!verb) return msg::unknownAction(word);
    a.op = verb->op;
    if (auto error = verb->operands(p, a)) return error;
    p.end();
    return p.error;
}

}  // namespace

ParsedScript parseScript(std::string_view text) {
    ParsedScript out;
    int number = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view line = text.substr(start, nl - start);
        start = nl + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#') continue;
        const auto last = line.find_last_not_of(" \t");
        ScriptAction a;
        a.line = number;
        a.source = std::string(line.substr(first, last - first + 1));
        std::vector<Token> tokens;
        auto err = tokenize(line, tokens);
        if (!err) err = parseAction(std::move(tokens), a);
        if (err) {
            out.error = ScriptSyntaxError{number, *err};
            out.script.actions.clear();
            return out;
        }
        out.script.actions.push_back(std::move(a));
    }
    out.script.lineCount = number;
    return out;
}

std::string quoteScriptString(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

// ---------------------------------------------------------------- driver

namespace {

std::string q(std::string_view s) { return quoteScriptString(s); }

bool isButton(ControlKind k) {
    return k == ControlKind::PushButton || k == ControlKind::DefPushButton || k == ControlKind::CheckBox ||
           k == ControlKind::RadioButton;
}

}  // namespace

void endProcess(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

ScriptDriver::ScriptDriver(Backend& backend, Script script) : backend_(backend), script_(std::move(script)) {}

namespace {

[[noreturn]] void endFailedScript(const std::string& text) {
    std::fflush(stdout);
    sys::writeErrorLine(text);
    endProcess(3);
}

std::string failureLine(int line, const std::string& what) {
    return std::string(msg::kScriptPrefix) + std::to_string(line) + ": " + what;
}

}  // namespace

void failScriptBeforeItRuns(const std::string& what) { endFailedScript(failureLine(0, what)); }

void ScriptDriver::fail(int line, const std::string& what) {
    const std::string text = failureLine(line, what);
    if (onFailure) onFailure(text);
    endFailedScript(text);
}

void ScriptDriver::step(Dialog& top) {
    if (finished()) fail(endLine(), msg::scriptEndedWhileOpen(q(backend_.caption(top))));
    const ScriptAction& a = script_.actions[next_++];
    execute(top, a);
}

void ScriptDriver::answerMessageBox(std::string_view caption, std::string_view text) {
    const std::string shown = msg::shownMessageBox(q(caption), q(text));
    if (finished()) fail(endLine(), msg::programGoesOn(shown));
    const ScriptAction& a = script_.actions[next_];
    if (a.op != ScriptOp::MessageBox) fail(a.line, msg::lineNotMet(a.source, shown));
    ++next_;
    if (a.strings[0] != caption || a.strings[1] != text)
        fail(a.line, msg::wrongMessageBox(q(a.strings[0]), q(a.strings[1]), shown));
}

std::optional<std::string> ScriptDriver::answerFileDialog(const FileDialogOptions& options) {
    const std::string shown = msg::shownFileDialog(q(options.title));
    if (finished()) fail(endLine(), msg::programGoesOn(shown));
    const ScriptAction& a = script_.actions[next_];
    if (a.op != ScriptOp::FileDialog) fail(a.line, msg::lineNotMet(a.source, shown));
    ++next_;
    if (a.flag) return std::nullopt;
    // The dialog's Open button takes only what its flags allow, and it hands
    // back the full path of the name typed into it.
    std::string chosen = sys::fullPath(a.strings[0]);
    // To a name without an extension the dialog appends the default one when
    // a file of that name is there.
    const std::size_t nameStart = chosen.rfind(sys::pathSeparator) + 1;
    if (!options.defaultExtension.empty() && chosen.find('.', nameStart) == std::string::npos) {
        const std::string withExtension = chosen + "." + options.defaultExtension;
        if (sys::fileExists(withExtension)) chosen = withExtension;
    }
    if (a.strings[0].empty() || (options.fileMustExist && !sys::fileExists(chosen)))
        fail(a.line, msg::notAnExistingFile(a.source, chosen));
    return chosen;
}

void ScriptDriver::programEnded() {
    if (finished()) return;
    const ScriptAction& a = script_.actions[next_];
    fail(a.line, msg::lineNotMetAtEnd(a.source));
}

namespace {

// One line carried out on the dialog on top, with the checks that refuse what
// a person could not do there.
struct Step {
    ScriptDriver& driver;
    Backend& backend;
    Dialog& dlg;
    const ScriptAction& a;

    [[noreturn]] void fail(const std::string& what) const { driver.fail(a.line, what); }
    std::string caption() const { return q(backend.caption(dlg)); }
    const ControlTemplate& control() const {
        const ControlTemplate* c = dlg.dialogTemplate().find(a.id);
        if (!c || !backend.hasControl(dlg, a.id)) fail(msg::noSuchControl(a.id, caption()));
        return *c;
    }
    // The control, of a kind that `fits`, named `wanted` otherwise.
    const ControlTemplate& control(bool (*fits)(ControlKind), std::string_view wanted) const {
        const ControlTemplate& c = control();
        if (!fits(c.kind)) fail(msg::wrongKind(wanted, a.id, c.kind));
        return c;
    }
    // ... and enabled, as a person's input needs it.
    const ControlTemplate& enabledControl(bool (*fits)(ControlKind), std::string_view wanted) const {
        const ControlTemplate& c = control(fits, wanted);
        if (!backend.isItemEnabled(dlg, a.id)) fail(msg::controlDisabled(a.id, a.source));
        return c;
    }
};

bool isEdit(ControlKind k) { return k == ControlKind::Edit; }
bool isCombo(ControlKind k) { return k == ControlKind::ComboBox; }
bool isSpin(ControlKind k) { return k == ControlKind::Spin; }
bool isCheckable(ControlKind k) { return k == ControlKind::CheckBox || k == ControlKind::RadioButton; }

std::string quotedList(const std::vector<std::string>& v) {
    std::string s;
    for (const auto& e : v) {
        if (!s.empty()) s += ' ';
        s += q(e);
    }
    return s;
}

using StepHandler = void (*)(const Step&);

const std::vector<std::pair<ScriptOp, StepHandler>> kSteps = {
    {ScriptOp::Dialog,
     [](const Step& s) {
         const std::string caption = s.backend.caption(s.dlg);
         if (caption != s.a.strings[0]) s.fail(msg::wrongDialog(q(s.a.strings[0]), q(caption)));
     }},
    {ScriptOp::MessageBox, [](const Step& s) { s.fail(msg::dialogWaiting(s.a.source, s.caption())); }},
    {ScriptOp::FileDialog, [](const Step& s) { s.fail(msg::dialogWaiting(s.a.source, s.caption())); }},
    {ScriptOp::Click,
     [](const Step& s) {
         s.enabledControl(isButton, msg::kAButton);
         s.backend.click(s.dlg, s.a.id);
     }},
    {ScriptOp::Type,
     [](const Step& s) {
         s.enabledControl(isEdit, msg::kAnEdit);
         s.backend.typeText(s.dlg, s.a.id, s.a.strings[0]);
     }},
    {ScriptOp::Select,
     [](const Step& s) {
         s.enabledControl(isCombo, msg::kACombo);
         const int count = s.backend.comboCount(s.dlg, s.a.id);
         if (s.a.number >= count) s.fail(msg::noSuchEntry(s.a.number, s.a.id, count));
         s.backend.selectItem(s.dlg, s.a.id, static_cast<int>(s.a.number));
     }},
    {ScriptOp::Spin,
     [](const Step& s) {
         const auto& c = s.enabledControl(isSpin, msg::kASpin);
         const auto& controls = s.dlg.dialogTemplate().controls;
         const auto at = static_cast<std::size_t>(&c - controls.data());
         if (at == 0 || controls[at - 1].kind != ControlKind::Edit) s.fail(msg::noBuddy(s.a.id));
         s.backend.spin(s.dlg, s.a.id, s.a.flag);
     }},
    {ScriptOp::Key, [](const Step& s) { s.backend.pressKey(s.dlg, s.a.key); }},
    {ScriptOp::Close, [](const Step& s) { s.backend.closeBox(s.dlg); }},
    {ScriptOp::SysCommand,
     [](const Step& s) {
         const auto cmd = static_cast<unsigned>(s.a.number);
         const auto menu = s.backend.systemMenuCommands(s.dlg);
         // The system puts its own bits into the low four of a command
         // (a drag is SC_MOVE + 2): what counts is the entry they belong to.
         if (std::find(menu.begin(), menu.end(), cmd & 0xFFF0u) == menu.end())
             s.fail(msg::notInSystemMenu(cmd, s.caption()));
         s.backend.chooseSystemCommand(s.dlg, cmd);
     }},
    {ScriptOp::ExpectText,
     [](const Step& s) {
         s.control();
         const std::string text = s.backend.itemText(s.dlg, s.a.id);
         if (text != s.a.strings[0]) s.fail(msg::wrongText(q(s.a.strings[0]), s.a.id, q(text)));
     }},
    {ScriptOp::ExpectChecked,
     [](const Step& s) {
         s.control(isCheckable, msg::kACheckable);
         const bool checked = s.backend.isChecked(s.dlg, s.a.id);
         if (checked != s.a.flag) s.fail(msg::wrongCheck(s.a.id, s.a.flag, checked));
     }},
    {ScriptOp::ExpectEnabled,
     [](const Step& s) {
         s.control();
         const bool enabled = s.backend.isItemEnabled(s.dlg, s.a.id);
         if (enabled != s.a.flag) s.fail(msg::wrongEnabled(s.a.id, s.a.flag, enabled));
     }},
    {ScriptOp::ExpectFocus,
     [](const Step& s) {
         s.control();
         const int focus = s.backend.focusedItem(s.dlg);
         if (focus != s.a.id) s.fail(msg::wrongFocus(s.a.id, focus));
     }},
    {ScriptOp::ExpectItems,
     [](const Step& s) {
         s.control(isCombo, msg::kACombo);
         std::vector<std::string> items;
         const int n = s.backend.comboCount(s.dlg, s.a.id);
         for (int i = 0; i < n; ++i) items.push_back(s.backend.comboItem(s.dlg, s.a.id, i));
         if (items != s.a.strings) s.fail(msg::wrongItems(quotedList(s.a.strings), s.a.id, quotedList(items)));
     }},
    {ScriptOp::ExpectSelected,
     [](const Step& s) {
         s.control(isCombo, msg::kACombo);
         const int sel = s.backend.comboSelection(s.dlg, s.a.id);
         if (sel != s.a.number) s.fail(msg::wrongSelection(s.a.number, s.a.id, sel));
     }},
    {ScriptOp::Screenshot, [](const Step& s) { s.backend.screenshot(s.dlg, s.a.strings[0]); }},
};

}  // namespace

void ScriptDriver::execute(Dialog& dlg, const ScriptAction& a) {
    const auto it = std::find_if(kSteps.begin(), kSteps.end(), [&](const auto& e) { return e.first == a.op; });
    if (it != kSteps.end()) it->second(Step{*this, backend_, dlg, a});
}

}  // namespace ui
