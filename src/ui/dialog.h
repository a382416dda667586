// The dialog framework: a modal dialog built from a template, with a message
// map, data exchange and the control operations that the dialogs need. The
// dialog class holds the behaviour; the back end (headless, FLTK, Win32)
// owns the window and carries out the operations.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/template.h"

namespace ui {

class Dialog;
class DataExchange;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr unsigned SC_MOVE = 0xF010;
inline constexpr unsigned SC_CLOSE = 0xF060;

// Notifications that a control sends to its dialog.
enum class Notify {
    Clicked,    // button, check box, radio button (BN_CLICKED)
    SelChange,  // combo box selection changed by the user (CBN_SELCHANGE)
};

// A loaded icon resource; the back end maps it to its own image.
struct Icon {
    int resourceId = 0;
    explicit operator bool() const { return resourceId != 0; }
};

// Type-erased view of a dialog's message map, so the framework can dispatch
// without knowing the dialog class.
class MessageMapBase {
public:
    virtual ~MessageMapBase() = default;
    virtual bool dispatchCommand(Dialog& dlg, int id, Notify code) const = 0;
    virtual bool dispatchSysCommand(Dialog& dlg, unsigned command) const = 0;
    // Every control id that the map binds (for checks against the template).
    virtual std::vector<int> commandIds() const = 0;
};

// The table that binds commands to handlers of dialog class D:
//     const ui::MessageMap<CCleanDlg> CCleanDlg::messageMap = {
//         {{1108, ui::Notify::Clicked, &CCleanDlg::onOkButton}, ...},
//         &CCleanDlg::onSysCommand};
template <class D>
class MessageMap final : public MessageMapBase {
public:
    struct Entry {
        int id;
        Notify code;
        void (D::*handler)();
    };

    MessageMap(std::initializer_list<Entry> commands, void (D::*sysCommand)(unsigned) = nullptr)
        : commands_(commands), sysCommand_(sysCommand) {}

    bool dispatchCommand(Dialog& dlg, int id, Notify code) const override {
        for (const Entry& e : commands_) {
            if (e.id == id && e.code == code) {
                (static_cast<D&>(dlg).*e.handler)();
                return true;
            }
        }
        return false;
    }

    bool dispatchSysCommand(Dialog& dlg, unsigned command) const override {
        if (!sysCommand_) return false;
        (static_cast<D&>(dlg).*sysCommand_)(command);
        return true;
    }

    std::vector<int> commandIds() const override {
        std::vector<int> ids;
        for (const Entry& e : commands_) ids.push_back(e.id);
        return ids;
    }

private:
    std::vector<Entry> commands_;
    void (D::*sysCommand_)(unsigned);
};

class Dialog {
public:
    explicit Dialog(int templateId);
    // A dialog from a template of its own (kept alive by the caller).
    explicit Dialog(const DialogTemplate& dialogTemplate);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog modally and returns the result it was ended with
    // (IDOK, IDCANCEL or what a handler passed to endDialog).
    int doModal();
    void endDialog(int result);
    bool isRunning() const { return running_; }
    // endDialog() has been called during the current run: the modal loop ends.
    bool hasEnded() const { return ended_; }
    int result() const { return result_; }

    // Data exchange between the fields and the controls. Saving validates;
    // on a failure the message box has been shown, the focus is on the
    // control, and false comes back.
    bool updateData(bool saveAndValidate = true);

    const DialogTemplate& dialogTemplate() const { return *template_; }
    int templateId() const { return templateId_; }

    // Control operations (while the dialog runs).
    void setItemText(int id, std::string_view text);
    std::string itemText(int id) const;
    void setCheck(int id, bool checked);
    bool isChecked(int id) const;
    void enableItem(int id, bool enabled);
    bool isItemEnabled(int id) const;
    void setFocus(int id);
    int focusedItem() const;  // kNoId when no control of this dialog has the focus
    void comboReset(int id);
    void comboAdd(int id, std::string_view text);
    void comboSetSelection(int id, int index);  // -1 clears it
    int comboSelection(int id) const;           // -1 when none
    int comboFind(int id, std::string_view text) const;  // exact match; -1 when none
    int comboCount(int id) const;
    std::string comboItemText(int id, int index) const;  // empty when out of range
    // Range of an up-down control; until it is set the platform default
    // applies (lower 100, upper 0, so "up" counts down).
    void spinSetRange(int id, int lower, int upper);
    bool hasSystemMenu() const;
    void appendSystemMenuSeparator();
    void appendSystemMenuItem(unsigned command, std::string_view text);
    void setIcon(Icon icon, bool big);

    // The framework's default handling of a system command (with its low four
    // bits cleared: SC_CLOSE closes as cancelled; the rest is the window's).
    void defaultSysCommand(unsigned command);

    // Entry points for the back end. initialize() runs the initialisation
    // hook and returns whether it set the focus itself; if not, the back end
    // puts the focus on the first enabled tab stop.
    bool initialize();
    void command(int id, Notify code);
    void sysCommand(unsigned command);
    void close();

    // The message map of this dialog class (nullptr: none).
    virtual const MessageMapBase* messageMap() const { return nullptr; }

protected:
    // Initialisation hook; the base runs the data exchange into the controls.
    // Returns true when it has set the focus itself.
    virtual bool onInitDialog();
    virtual void doDataExchange(DataExchange& dx);
    // The framework's OK: exchange back and end with IDOK when that succeeds.
    virtual void onOK();
    // The framework's Cancel: end with IDCANCEL.
    virtual void onCancel();

private:
    int templateId_;
    const DialogTemplate* template_;
    bool running_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;
    void* window_ = nullptr;  // the back end's window for this dialog
    friend class Backend;
};

// The framework's scan of an unsigned integer edit: blanks and tabs around
// the number, no sign, no other characters; nothing when it does not read
// as one. A value too large for `unsigned` gives its largest value.
std::optional<unsigned> scanUnsigned(std::string_view text);

// One exchange pass between a dialog's fields and its controls (DDX/DDV).
class DataExchange {
public:
    DataExchange(Dialog& dlg, bool saving) : dlg_(dlg), saving_(saving) {}
    bool saving() const { return saving_; }
    Dialog& dialog() { return dlg_; }

    void text(int id, std::string& value);
    void check(int id, int& value);        // 0 cleared, 1 ticked
    void comboIndex(int id, int& value);   // -1 none
    // Unsigned integer edit: "Enter a positive integer." when the text does
    // not read as one.
    void number(int id, unsigned& value);
    // Range check after number(): "Enter an integer between %1 and %2."
    void range(int id, unsigned value, unsigned min, unsigned max);

    // Raised by a failed check after its message was shown and the focus was
    // put on the control; updateData() turns it into false.
    struct Failure {};

private:
    [[noreturn]] void fail(int id, const std::string& message);
    Dialog& dlg_;
    bool saving_;
};

}  // namespace ui
