// The Win32 dialog manager's rules for back ends whose toolkit has none of
// its own (headless, FLTK): what a click, a key or typed text does to the
// controls of a dialog built from a template. The toolkit supplies the
// control operations; these rules act only through them, so a real FLTK
// click and a scripted one behave the same.
#pragma once

#include <cstddef>
#include <optional>

#include "ui/backend.h"

namespace ui {

class ManagedBackend : public Backend {
public:
    // The program moves the focus as WM_NEXTDLGCTL does: the default look
    // follows it (see moveDefaultLook). A click or the dialog's first focus
    // go through giveFocus instead, which leaves the default look alone.
    void setFocus(Dialog& dlg, int id) final;
    void click(Dialog& dlg, int id) override;
    void typeText(Dialog& dlg, int id, std::string_view text) override;
    void selectItem(Dialog& dlg, int id, int index) override;
    void spin(Dialog& dlg, int id, bool up) override;
    void pressKey(Dialog& dlg, Key key) override;
    void closeBox(Dialog& dlg) override;
    void chooseSystemCommand(Dialog& dlg, unsigned command) override;

    // Whether the control is a tab stop now. It starts as its template says;
    // setting a radio button's check state gives a checked one the tab stop
    // and takes it from a cleared one, as the Win32 button control does, so
    // that Tab enters a radio group at its selected button.
    virtual bool hasTabStop(const Dialog& dlg, int id) const = 0;
    // The focus as the window system gives it to a control (SetFocus), for a
    // mouse click or the first focus of a dialog; ignored for a disabled one.
    virtual void giveFocus(Dialog& dlg, int id) = 0;
    // The push button drawn as the default one (BS_DEFPUSHBUTTON), kNoId for
    // none. It starts as the template's default push button.
    virtual int defaultLook(const Dialog& dlg) const = 0;
    virtual void setDefaultLook(Dialog& dlg, int id) = 0;
    // An up-down control's own position, which it keeps apart from its
    // buddy's text. It starts at 0.
    virtual int spinPosition(const Dialog& dlg, int id) const = 0;
    virtual void spinSetPosition(Dialog& dlg, int id, int position) = 0;

    // Where the focus goes when the dialog's initialisation did not set it:
    // the first enabled tab stop (kNoId when there is none).
    int firstTabStop(const Dialog& dlg) const;
    // The next enabled tab stop after `from` in template order, wrapping.
    int nextTabStop(const Dialog& dlg, int from) const;
    // The dialog's default id (DM_GETDEFID): the template's default push
    // button, IDOK when it has none.
    int defaultId(const Dialog& dlg) const;
    // The button that Return presses: the focused push button when it has the
    // default look, else the default id.
    int returnTarget(const Dialog& dlg) const;

    // Keys that only a person presses (the script has no words for them),
    // with the dialog manager's rules; each returns false when the key is not
    // the dialog's and belongs to the focused control (an edit's cursor keys).
    // Shift+Tab: the focus to the previous enabled tab stop.
    void backTab(Dialog& dlg);
    // An arrow key: within a group, the focus to the next (forward) or the
    // previous enabled control, which an automatic radio button takes as a
    // click; in a drop-down list, the next or previous entry; in an edit with
    // an up-down control that takes arrow keys (up and down only), a step.
    bool arrowKey(Dialog& dlg, bool forward, bool vertical);
    // Space on a focused button, check box or radio button clicks it.
    bool spaceKey(Dialog& dlg);
    // Alt and a letter: the next enabled control (after the focus, wrapping)
    // whose text marks that letter with '&'. A button is clicked; a static
    // text or group box passes the focus to the tab stop after it.
    bool mnemonicKey(Dialog& dlg, char letter);
    // Home or End on a drop-down list (closed): its first or last entry.
    // False when the focus is elsewhere (an edit's caret takes the key).
    bool homeEndKey(Dialog& dlg, bool end);
    // A character typed without Alt (WM_CHAR): a drop-down list chooses its
    // next entry that begins with it, wrapping; a control that takes no
    // characters (a button, check box or radio button, or no control) lets
    // the dialog take it as a mnemonic, as Alt and the letter. False when the
    // focused control takes characters itself (an edit).
    bool charKey(Dialog& dlg, char c);
    // Whether Return belongs to the focused control (a multi-line edit that
    // wants it) rather than to the default button.
    bool focusWantsReturn(const Dialog& dlg) const;

private:
    // The focus has moved to `id` by the dialog manager: a push button takes
    // the default look, any other control gives it back to the default id.
    void moveDefaultLook(Dialog& dlg, int id);
};

// The letter that '&' marks in a control's text, in lower case; 0 for none
// ("&&" is a literal ampersand).
char mnemonicOf(std::string_view text);

// Template rules, shared with tests.
// The range [first, last) of template indices of the group holding `index`:
// from a group-start control to the next one.
std::pair<std::size_t, std::size_t> controlGroup(const DialogTemplate& t, std::size_t index);
// What a one-line edit keeps of a text pasted or typed into it whole: the
// text up to its first line break, as Windows' one-line edit keeps it. A
// line break would otherwise reach the one-line files the fields are
// stored in and split them.
std::string_view oneLineText(std::string_view text);
// Text as an edit of this style takes it when it is pasted or typed whole.
std::string editInput(const ControlTemplate& edit, std::string_view text);
// One step of an up-down control from `current` towards upper (up) or lower
// (down), kept within the range.
int spinStep(int current, int lower, int upper, bool up);
// The buddy's text read as an integer, as an up-down control reads it: blanks
// before, a sign, decimal digits and nothing after; no text at all is 0.
std::optional<int> readSpinValue(std::string_view text);
// Where an up-down control starts a step from: the buddy's value when it is a
// number within the range (UDM_GETPOS), else the control's own position.
int spinStart(std::string_view buddyText, int position, int lower, int upper);

}  // namespace ui
