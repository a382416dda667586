// The headless back end: every control's state kept in memory, built from
// the template, with the Win32 dialog manager's rules (ui::ManagedBackend).
// It shows nothing, so it runs only under a script; without one, the first
// dialog, message box or file dialog ends the program with an error line.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/managed.h"
#include "ui/script.h"

namespace ui {

class HeadlessBackend final : public ManagedBackend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    std::string_view name() const override { return "headless"; }
    void runModal(Dialog& dlg) override;
    Dialog* topDialog() const override;

    std::string caption(const Dialog& dlg) const override;
    bool hasControl(const Dialog& dlg, int id) const override;
    void setItemText(Dialog& dlg, int id, std::string_view text) override;
    std::string itemText(const Dialog& dlg, int id) const override;
    void setCheck(Dialog& dlg, int id, bool checked) override;
    bool isChecked(const Dialog& dlg, int id) const override;
    void enableItem(Dialog& dlg, int id, bool enabled) override;
    bool isItemEnabled(const Dialog& dlg, int id) const override;
    bool hasTabStop(const Dialog& dlg, int id) const override;
    void giveFocus(Dialog& dlg, int id) override;
    int focusedItem(const Dialog& dlg) const override;
    int defaultLook(const Dialog& dlg) const override;
    void setDefaultLook(Dialog& dlg, int id) override;
    void comboReset(Dialog& dlg, int id) override;
    void comboAdd(Dialog& dlg, int id, std::string_view text) override;
    void comboSetSelection(Dialog& dlg, int id, int index) override;
    int comboSelection(const Dialog& dlg, int id) const override;
    int comboCount(const Dialog& dlg, int id) const override;
    std::string comboItem(const Dialog& dlg, int id, int index) const override;
    void spinSetRange(Dialog& dlg, int id, int lower, int upper) override;
    std::pair<int, int> spinRange(const Dialog& dlg, int id) const override;
    int spinPosition(const Dialog& dlg, int id) const override;
    void spinSetPosition(Dialog& dlg, int id, int position) override;
    bool hasSystemMenu(const Dialog& dlg) const override;
    void appendSystemMenuSeparator(Dialog& dlg) override;
    void appendSystemMenuItem(Dialog& dlg, unsigned command, std::string_view text) override;
    std::vector<unsigned> systemMenuCommands(const Dialog& dlg) const override;
    void setIcon(Dialog& dlg, Icon icon, bool big) override;

    void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    void screenshot(Dialog& dlg, const std::string& path) override;

    // The items appended to the system menu (separators have command 0 and no text).
    std::vector<std::pair<unsigned, std::string>> systemMenu(const Dialog& dlg) const;
    Icon icon(const Dialog& dlg, bool big) const;

private:
    struct Window;
    Window* win(const Dialog& dlg) const;
    std::vector<Window*> stack_;
};

// A headless back end driven by a script, for tests of dialogs: while it
// lives it is the current back end; script failures throw ScriptFailure.
class HeadlessSession {
public:
    explicit HeadlessSession(std::string_view scriptText);  // throws ScriptFailure on a syntax error
    ~HeadlessSession();
    HeadlessSession(const HeadlessSession&) = delete;
    HeadlessSession& operator=(const HeadlessSession&) = delete;

    HeadlessBackend& backend() { return backend_; }
    ScriptDriver& driver() { return *driver_; }
    // The program's end: throws ScriptFailure when lines are left.
    void finish() { driver_->programEnded(); }

private:
    HeadlessBackend backend_;
    std::unique_ptr<ScriptDriver> driver_;
    Backend* previous_;
};

}  // namespace ui
