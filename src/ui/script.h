// UI scripts: the parser (text to actions, no side effects) and the driver
// that carries the actions out, one at a time, on the dialog on top, through
// the back-end interface, so that every back end runs the same scripts.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"

namespace ui {

enum class ScriptOp {
    Dialog,          // strings[0]: caption
    Click,           // id
    Type,            // id, strings[0]
    Select,          // id, number
    Spin,            // id, flag: up
    Key,             // key
    Close,
    SysCommand,      // number
    ExpectText,      // id, strings[0]
    ExpectChecked,   // id, flag
    ExpectEnabled,   // id, flag
    ExpectFocus,     // id
    ExpectItems,     // id, strings
    ExpectSelected,  // id, number
    MessageBox,      // strings[0]: caption, strings[1]: text
    FileDialog,      // strings[0]: path, flag: cancel
    Screenshot,      // strings[0]: file
};

struct ScriptAction {
    int line = 0;
    ScriptOp op = ScriptOp::Close;
    int id = 0;
    long long number = 0;
    bool flag = false;
    Key key = Key::Return;
    std::vector<std::string> strings;
    std::string source;  // the line as written, without surrounding blanks
};

struct Script {
    std::vector<ScriptAction> actions;
    int lineCount = 0;
};

struct ScriptSyntaxError {
    int line;
    std::string message;
};

// Parses a whole script; a line that is not an action is an error naming it.
// The result holds either the script or the first error.
struct ParsedScript {
    Script script;
    std::optional<ScriptSyntaxError> error;
};
ParsedScript parseScript(std::string_view text);

// A string as a script writes it: in double quotes, with \" \\ \n \r escaped.
std::string quoteScriptString(std::string_view text);

// What a failed script raises instead of ending the process, when the
// driver's failure handler chooses to throw it (tests).
struct ScriptFailure : std::runtime_error {
    using std::runtime_error::runtime_error;  // what(): "vsZEB script: line N: ..."
};

class ScriptDriver {
public:
    ScriptDriver(Backend& backend, Script script);

    // Carries out the next line on `top`, the dialog on top, which is waiting
    // for input. Fails when the script has ended or the line expects a
    // message box or file dialog instead.
    void step(Dialog& top);
    // The program shows a message box / file dialog: the next line must
    // answer it (OK; a path or cancel).
    void answerMessageBox(std::string_view caption, std::string_view text);
    std::optional<std::string> answerFileDialog(const FileDialogOptions& options);
    // The program is ending: fails when lines are left.
    void programEnded();

    bool finished() const { return next_ >= script_.actions.size(); }
    // The line being carried out or last carried out (the end of the script
    // once every line has run), for a failure that comes from outside.
    int currentLine() const { return next_ == 0 ? 0 : finished() ? endLine() : script_.actions[next_ - 1].line; }

    // Called with the whole failure line ("vsZEB script: line N: ...").
    // Unset: the line goes to standard error, standard output is flushed and
    // the process ends at once with status 3. A handler that returns leads to
    // the same end.
    std::function<void(const std::string&)> onFailure;

    [[noreturn]] void fail(int line, const std::string& what);

private:
    void execute(Dialog& dlg, const ScriptAction& a);
    int endLine() const { return script_.lineCount + 1; }

    Backend& backend_;
    Script script_;
    std::size_t next_ = 0;
};

// Ends the process at once with `status`, after flushing every output stream.
[[noreturn]] void endProcess(int status);

// A script that could not even be started fails as a failing script does:
// "vsZEB script: line 0: " and `what` on standard error, status 3.
[[noreturn]] void failScriptBeforeItRuns(const std::string& what);

}  // namespace ui
