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

std::optional<std::string> parseAction(std::vector<Token> tokens, ScriptAction& a) {
    LineParser p(std::move(tokens));
    const std::string verb = p.word(msg::kAnAction);
    if (verb == "dialog") {
        a.op = ScriptOp::Dialog;
        a.strings.push_back(p.string(msg::kTheCaption));
    } else if (verb == "click") {
        a.op = ScriptOp::Click;
        a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
    } else if (verb == "type") {
        a.op = ScriptOp::Type;
        a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
        a.strings.push_back(p.string(msg::kTheText));
    } else if (verb == "select") {
        a.op = ScriptOp::Select;
        a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
        a.number = p.number(msg::kAnEntryNumber, kMaxId);
    } else if (verb == "spin") {
        a.op = ScriptOp::Spin;
        a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
        const std::string dir = p.word(msg::kUpOrDown);
        if (!p.error && dir != "up" && dir != "down") p.error = msg::wrongWord(msg::kUpOrDown, dir);
        a.flag = dir == "up";
    } else if (verb == "key") {
        a.op = ScriptOp::Key;
        const std::string k = p.word(msg::kAKey);
        if (k == "return")
            a.key = Key::Return;
        else if (k == "escape")
            a.key = Key::Escape;
        else if (k == "tab")
            a.key = Key::Tab;
        else if (!p.error)
            p.error = msg::wrongWord(msg::kAKey, k);
    } else if (verb == "close") {
        a.op = ScriptOp::Close;
    } else if (verb == "syscommand") {
        a.op = ScriptOp::SysCommand;
        a.number = p.number(msg::kASystemCommand, kMaxNumber);
    } else if (verb == "expect") {
        const std::string what = p.word(msg::kAnExpectation);
        if (p.error) return p.error;
        a.id = static_cast<int>(p.number(msg::kAControlId, kMaxId));
        if (what == "text") {
            a.op = ScriptOp::ExpectText;
            a.strings.push_back(p.string(msg::kTheText));
        } else if (what == "checked") {
            a.op = ScriptOp::ExpectChecked;
            a.flag = p.yesNo();
        } else if (what == "enabled") {
            a.op = ScriptOp::ExpectEnabled;
            a.flag = p.yesNo();
        } else if (what == "focus") {
            a.op = ScriptOp::ExpectFocus;
        } else if (what == "items") {
            a.op = ScriptOp::ExpectItems;
            while (!p.error && p.more()) a.strings.push_back(p.string(msg::kAnEntry));
        } else if (what == "selected") {
            a.op = ScriptOp::ExpectSelected;
            a.number = p.number(msg::kAnEntryNumber, kMaxId);
        } else {
            return msg::unknownExpectation(what);
        }
    } else if (verb == "messagebox") {
        a.op = ScriptOp::MessageBox;
        a.strings.push_back(p.string(msg::kTheCaption));
        a.strings.push_back(p.string(msg::kTheText));
    } else if (verb == "filedialog") {
        a.op = ScriptOp::FileDialog;
        if (p.more() && !p.error) {
            // either a quoted path or the word cancel
            LineParser probe = p;
            const std::string w = probe.word("");
            if (!probe.error) {
                if (w != "cancel") return msg::wrongWord(msg::kPathOrCancel, w);
                p = probe;
                a.flag = true;
            } else {
                a.strings.push_back(p.string(msg::kAPath));
            }
        } else {
            a.strings.push_back(p.string(msg::kAPath));
        }
    } else if (verb == "screenshot") {
        a.op = ScriptOp::Screenshot;
        a.strings.push_back(p.string(msg::kAFileName));
    } else if (!p.error) {
        return msg::unknownAction(verb);
    }
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

void ScriptDriver::fail(int line, const std::string& what) {
    const std::string text = std::string(msg::kScriptPrefix) + std::to_string(line) + ": " + what;
    if (onFailure) onFailure(text);
    std::fflush(stdout);
    sys::writeErrorLine(text);
    endProcess(3);
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
    const std::string chosen = sys::fullPath(a.strings[0]);
    if (a.strings[0].empty() || (options.fileMustExist && !sys::fileExists(chosen)))
        fail(a.line, msg::notAnExistingFile(a.source, chosen));
    return chosen;
}

void ScriptDriver::programEnded() {
    if (finished()) return;
    const ScriptAction& a = script_.actions[next_];
    fail(a.line, msg::lineNotMetAtEnd(a.source));
}

const ControlTemplate& ScriptDriver::control(Dialog& dlg, const ScriptAction& a) {
    const ControlTemplate* c = dlg.dialogTemplate().find(a.id);
    if (!c || !backend_.hasControl(dlg, a.id)) fail(a.line, msg::noSuchControl(a.id, q(backend_.caption(dlg))));
    return *c;
}

void ScriptDriver::requireEnabled(Dialog& dlg, const ScriptAction& a) {
    if (!backend_.isItemEnabled(dlg, a.id)) fail(a.line, msg::controlDisabled(a.id, a.source));
}

void ScriptDriver::execute(Dialog& dlg, const ScriptAction& a) {
    const auto requireKind = [&](const ControlTemplate& c, bool ok, std::string_view wanted) {
        if (!ok) fail(a.line, msg::wrongKind(wanted, a.id, c.kind));
    };
    switch (a.op) {
        case ScriptOp::Dialog: {
            const std::string caption = backend_.caption(dlg);
            if (caption != a.strings[0]) fail(a.line, msg::wrongDialog(q(a.strings[0]), q(caption)));
            return;
        }
        case ScriptOp::MessageBox:
        case ScriptOp::FileDialog:
            fail(a.line, msg::dialogWaiting(a.source, q(backend_.caption(dlg))));
        case ScriptOp::Click: {
            const auto& c = control(dlg, a);
            requireKind(c, isButton(c.kind), msg::kAButton);
            requireEnabled(dlg, a);
            backend_.click(dlg, a.id);
            return;
        }
        case ScriptOp::Type: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::Edit, msg::kAnEdit);
            requireEnabled(dlg, a);
            backend_.typeText(dlg, a.id, a.strings[0]);
            return;
        }
        case ScriptOp::Select: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::ComboBox, msg::kACombo);
            requireEnabled(dlg, a);
            const int count = backend_.comboCount(dlg, a.id);
            if (a.number >= count) fail(a.line, msg::noSuchEntry(a.number, a.id, count));
            backend_.selectItem(dlg, a.id, static_cast<int>(a.number));
            return;
        }
        case ScriptOp::Spin: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::Spin, msg::kASpin);
            requireEnabled(dlg, a);
            const auto& controls = dlg.dialogTemplate().controls;
            const auto at = static_cast<std::size_t>(&c - controls.data());
            if (at == 0 || controls[at - 1].kind != ControlKind::Edit) fail(a.line, msg::noBuddy(a.id));
            backend_.spin(dlg, a.id, a.flag);
            return;
        }
        case ScriptOp::Key:
            backend_.pressKey(dlg, a.key);
            return;
        case ScriptOp::Close:
            backend_.closeBox(dlg);
            return;
        case ScriptOp::SysCommand: {
            const auto cmd = static_cast<unsigned>(a.number);
            const auto menu = backend_.systemMenuCommands(dlg);
            // The system puts its own bits into the low four of a command
            // (a drag is SC_MOVE + 2): what counts is the entry they belong to.
            if (std::find(menu.begin(), menu.end(), cmd & 0xFFF0u) == menu.end())
                fail(a.line, msg::notInSystemMenu(cmd, q(backend_.caption(dlg))));
            backend_.chooseSystemCommand(dlg, cmd);
            return;
        }
        case ScriptOp::ExpectText: {
            control(dlg, a);
            const std::string text = backend_.itemText(dlg, a.id);
            if (text != a.strings[0]) fail(a.line, msg::wrongText(q(a.strings[0]), a.id, q(text)));
            return;
        }
        case ScriptOp::ExpectChecked: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::CheckBox || c.kind == ControlKind::RadioButton, msg::kACheckable);
            const bool checked = backend_.isChecked(dlg, a.id);
            if (checked != a.flag) fail(a.line, msg::wrongCheck(a.id, a.flag, checked));
            return;
        }
        case ScriptOp::ExpectEnabled: {
            control(dlg, a);
            const bool enabled = backend_.isItemEnabled(dlg, a.id);
            if (enabled != a.flag) fail(a.line, msg::wrongEnabled(a.id, a.flag, enabled));
            return;
        }
        case ScriptOp::ExpectFocus: {
            control(dlg, a);
            const int focus = backend_.focusedItem(dlg);
            if (focus != a.id) fail(a.line, msg::wrongFocus(a.id, focus));
            return;
        }
        case ScriptOp::ExpectItems: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::ComboBox, msg::kACombo);
            std::vector<std::string> items;
            const int n = backend_.comboCount(dlg, a.id);
            for (int i = 0; i < n; ++i) items.push_back(backend_.comboItem(dlg, a.id, i));
            if (items != a.strings) {
                const auto list = [](const std::vector<std::string>& v) {
                    std::string s;
                    for (const auto& e : v) {
                        if (!s.empty()) s += ' ';
                        s += q(e);
                    }
                    return s;
                };
                fail(a.line, msg::wrongItems(list(a.strings), a.id, list(items)));
            }
            return;
        }
        case ScriptOp::ExpectSelected: {
            const auto& c = control(dlg, a);
            requireKind(c, c.kind == ControlKind::ComboBox, msg::kACombo);
            const int sel = backend_.comboSelection(dlg, a.id);
            if (sel != a.number) fail(a.line, msg::wrongSelection(a.number, a.id, sel));
            return;
        }
        case ScriptOp::Screenshot:
            backend_.screenshot(dlg, a.strings[0]);
            return;
    }
}

}  // namespace ui
