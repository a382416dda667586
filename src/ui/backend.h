// The back-end interface: what a user-interface toolkit (headless, FLTK,
// Win32) must do for the dialog framework. A back end owns the windows; the
// dialog classes reach it only through ui::Dialog and the services of ui.h.
//
// Three groups of operations:
// - the modal run of a dialog and the control operations of ui::Dialog;
// - the framework's services (message box, file-open dialog);
// - simulated user input, which the script driver uses to act like a user.
//   A toolkit with a dialog manager of its own (Win32) carries it out with
//   its own messages; the others share the rules of ui::ManagedBackend.
//
// Script driving: when a script is attached, the back end's modal loop asks
// the driver for one step at a time (ScriptDriver::step) on the dialog on top
// and lets that step finish before it asks again; a Win32 back end can post
// itself a message per step from inside its own modal loop. Message boxes and
// file dialogs never reach a scripted back end: ui::messageBox() and
// ui::openFileDialog() hand them to the driver instead.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/dialog.h"
#include "ui/ui.h"

namespace ui {

class ScriptDriver;

enum class Key { Return, Escape, Tab };

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::string_view name() const = 0;

    // Creates the dialog's window from its template, runs dlg.initialize()
    // (and, when that returns false, puts the focus on the first enabled tab
    // stop), then runs the modal loop until dlg.hasEnded(); then destroys the
    // window. Nested calls (a dialog opened by a handler) must work.
    virtual void runModal(Dialog& dlg) = 0;
    // endDialog() was called on a running dialog: the loop should end once the
    // current message has been handled.
    virtual void endModal(Dialog& dlg) { (void)dlg; }
    // The dialog on top (the innermost modal run), or nullptr.
    virtual Dialog* topDialog() const = 0;

    // Control operations. A control id that the dialog does not have is
    // ignored by the setters and reads as empty, false, -1 or 0.
    virtual std::string caption(const Dialog& dlg) const = 0;
    virtual bool hasControl(const Dialog& dlg, int id) const = 0;
    virtual void setItemText(Dialog& dlg, int id, std::string_view text) = 0;
    virtual std::string itemText(const Dialog& dlg, int id) const = 0;
    virtual void setCheck(Dialog& dlg, int id, bool checked) = 0;
    virtual bool isChecked(const Dialog& dlg, int id) const = 0;
    virtual void enableItem(Dialog& dlg, int id, bool enabled) = 0;
    virtual bool isItemEnabled(const Dialog& dlg, int id) const = 0;
    // Moves the focus as the dialog manager does (WM_NEXTDLGCTL): a push
    // button that gets it takes the default look, another control gives the
    // look back to the dialog's default button.
    virtual void setFocus(Dialog& dlg, int id) = 0;
    virtual int focusedItem(const Dialog& dlg) const = 0;
    virtual void comboReset(Dialog& dlg, int id) = 0;
    virtual void comboAdd(Dialog& dlg, int id, std::string_view text) = 0;
    virtual void comboSetSelection(Dialog& dlg, int id, int index) = 0;
    virtual int comboSelection(const Dialog& dlg, int id) const = 0;
    virtual int comboCount(const Dialog& dlg, int id) const = 0;
    virtual std::string comboItem(const Dialog& dlg, int id, int index) const = 0;
    // Up-down control range: `lower` is the value at the bottom arrow's end.
    // The platform default, before any call, is lower 100, upper 0.
    virtual void spinSetRange(Dialog& dlg, int id, int lower, int upper) = 0;
    virtual std::pair<int, int> spinRange(const Dialog& dlg, int id) const = 0;
    virtual bool hasSystemMenu(const Dialog& dlg) const = 0;
    virtual void appendSystemMenuSeparator(Dialog& dlg) = 0;
    virtual void appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) = 0;
    // The commands a user can choose from the system menu (standard and appended).
    virtual std::vector<unsigned> systemMenuCommands(const Dialog& dlg) const = 0;
    virtual void setIcon(Dialog& dlg, Icon icon, bool big) = 0;

    // Services, shown to a person (never called while a script drives).
    virtual void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) = 0;
    virtual std::optional<std::string> openFileDialog(const FileDialogOptions& options) = 0;

    // Simulated user input on a running dialog. The driver has checked that
    // the control exists, is of a fitting kind and is enabled.
    virtual void click(Dialog& dlg, int id) = 0;
    virtual void typeText(Dialog& dlg, int id, std::string_view text) = 0;
    virtual void selectItem(Dialog& dlg, int id, int index) = 0;
    virtual void spin(Dialog& dlg, int id, bool up) = 0;
    virtual void pressKey(Dialog& dlg, Key key) = 0;
    virtual void closeBox(Dialog& dlg) = 0;
    virtual void chooseSystemCommand(Dialog& dlg, unsigned command) = 0;
    // A picture of the dialog; back ends without windows ignore it.
    virtual void screenshot(Dialog& dlg, const std::string& path) = 0;

    void setScript(ScriptDriver* driver) { script_ = driver; }
    ScriptDriver* script() const { return script_; }

protected:
    // The back end's own window object of a dialog (nullptr: none yet).
    static void* window(const Dialog& dlg) { return dlg.window_; }
    static void setWindow(Dialog& dlg, void* w) { dlg.window_ = w; }

private:
    ScriptDriver* script_ = nullptr;
};

// The back end that dialogs and services use. Without one (neither App::run
// nor a test session set it up) the process ends with a message on standard
// error and abort(): that is a fault of the program, not of the user.
Backend& backend();
// Makes `b` current and returns the one it replaces (nullptr for none).
Backend* setBackend(Backend* b);

// A back end that this build has, with the rule that makes it the default.
struct BackendFactory {
    std::string_view name;
    std::unique_ptr<Backend> (*make)();
    // Whether it is the default when VSZEB_UI is not set (given whether
    // DISPLAY is set). The first factory whose rule holds wins.
    bool (*isDefault)(bool displaySet);
};

// The back ends of this build, most preferred first. The headless back end is
// always there and always the last resort; the others register themselves
// from their own source file with a static BackendRegistration (the build
// must then link that file; see CMakeLists.txt).
std::vector<BackendFactory> availableBackends();
struct BackendRegistration {
    explicit BackendRegistration(BackendFactory factory);
};

// The outcome of choosing a back end from VSZEB_UI and DISPLAY.
struct BackendChoice {
    const BackendFactory* factory = nullptr;  // nullptr: `error` says why
    std::string error;                        // without the "*** Error: " prefix
};
BackendChoice chooseBackend(const std::vector<BackendFactory>& available, std::string_view uiVariable,
                            bool displaySet);

}  // namespace ui
