// Every text that the dialog framework itself shows or writes: the data
// exchange messages, the start-up errors of the user interface, and what the
// script driver reports when a script does not hold.
#pragma once

#include <string>
#include <string_view>

#include "ui/template.h"

namespace ui::msg {

// Data exchange (the framework's standard messages).
inline constexpr std::string_view kEnterPositiveInteger = "Enter a positive integer.";
inline constexpr std::string_view kEnterIntegerBetween = "Enter an integer between %1 and %2.";

inline constexpr std::string_view kErrorPrefix = "*** Error: ";
inline constexpr std::string_view kScriptPrefix = "vsZEB script: line ";

// Back-end selection (VSZEB_UI).
inline std::string unknownBackend(std::string_view value) {
    return "Unknown user interface \"" + std::string(value) +
           "\" in VSZEB_UI (expected headless, fltk or win32).";
}
inline std::string backendNotBuilt(std::string_view value) {
    return "The user interface \"" + std::string(value) + "\" named by VSZEB_UI is not part of this build of vsZEB.";
}

// A back end that cannot start where the program runs.
inline std::string cannotLoadBackend(std::string_view backend, std::string_view why) {
    return "The user interface \"" + std::string(backend) + "\" cannot be loaded: " + std::string(why) + ".";
}
inline std::string moduleNotFound(std::string_view file, std::string_view installedPath) {
    return std::string(file) + " is neither beside the program nor at " + std::string(installedPath);
}
inline std::string moduleOfOtherBuild(std::string_view path) {
    return std::string(path) + " was built for another version of vsZEB; install the module of this one beside it";
}
inline std::string moduleWithoutEntry(std::string_view path, std::string_view entry) {
    return std::string(path) + " has no function " + std::string(entry) + ", so it is not a vsZEB user interface module";
}
inline std::string cannotOpenDisplay(std::string_view display) {
    if (display.empty()) return "Cannot show windows with the user interface \"fltk\": DISPLAY is not set.";
    return "Cannot open the X display \"" + std::string(display) + "\" for the user interface \"fltk\".";
}

// The X server went away while a window was shown: what was open is left
// as cancelled. The caption is empty when no dialog was open.
inline std::string displayLost(std::string_view display, std::string_view caption) {
    const std::string what = caption.empty() ? std::string("while windows were shown")
                                             : "while the dialog \"" + std::string(caption) + "\" was open";
    return "The X display \"" + std::string(display) + "\" went away " + what +
           "; it counts as cancelled and nothing of it was carried out.";
}
inline constexpr std::string_view kDisplayLostInScript = "expected the X display to stay, found it gone";

// The standard entries of a dialog's system menu, where the window system
// has none of its own to show (X11).
inline constexpr std::string_view kSystemMenuMove = "&Move";
inline constexpr std::string_view kSystemMenuClose = "&Close";

// A fault of the program itself, not of the user.
inline constexpr std::string_view kNoBackend =
    "vsZEB: a dialog or message box was used before a user-interface back end was set up";

// A picture that a script asked for could not be written.
inline std::string cannotWriteScreenshot(std::string_view path) {
    return "vsZEB: cannot write the screenshot \"" + std::string(path) + "\"";
}

// Headless without a script.
inline constexpr std::string_view kHeadlessWhy =
    ": the user interface is headless and no script drives it (VSZEB_SCRIPT is not set).";
inline std::string cannotShowDialog(std::string_view caption) {
    return "Cannot show the dialog \"" + std::string(caption) + "\"" + std::string(kHeadlessWhy);
}
inline std::string cannotShowMessageBox(std::string_view captionQuoted, std::string_view textQuoted) {
    return "Cannot show the message box " + std::string(captionQuoted) + " " + std::string(textQuoted) +
           std::string(kHeadlessWhy);
}
inline std::string cannotShowFileDialog(std::string_view title) {
    return "Cannot show the file-open dialog \"" + std::string(title) + "\"" + std::string(kHeadlessWhy);
}

// The Win32 back end: Windows refused to make a dialog from its template.
// The code is the system's error code of that refusal (0: it gave none).
inline std::string cannotCreateDialog(std::string_view caption, unsigned long code) {
    return "vsZEB: Windows could not create the dialog \"" + std::string(caption) +
           "\" (DialogBoxIndirectParam failed with error " + std::to_string(code) + ")";
}

// Script failures; the driver puts "vsZEB script: line N: " before them.
// Texts, captions and lines of the script come quoted as a script writes them.
// The script was given, but no user interface could be set up to run it;
// `why` is the error line's reason.
inline std::string scriptCannotRun(std::string_view why) {
    return "expected a user interface to run the script on, found none: " + std::string(why);
}
inline std::string cannotReadScript(std::string_view path) {
    return "expected a readable script file, found none at \"" + std::string(path) + "\"";
}

// A line that is not an action.
inline constexpr std::string_view kLoneBackslash = "a string ends in a lone backslash";
inline constexpr std::string_view kUnclosedString = "a string has no closing double quote";
inline constexpr std::string_view kStringNeedsBlank = "a string must be followed by a blank";
inline std::string unknownEscape(char e) { return std::string("unknown escape \\") + e + " in a string"; }
inline std::string unknownAction(std::string_view verb) { return "unknown action \"" + std::string(verb) + "\""; }
inline std::string unknownExpectation(std::string_view what) {
    return "unknown expectation \"" + std::string(what) + "\"";
}
inline std::string unexpectedAtEnd(std::string_view word) {
    return "unexpected \"" + std::string(word) + "\" at the end of the line";
}
inline std::string missing(std::string_view what) { return "expected " + std::string(what); }
inline std::string missingString(std::string_view what) { return "expected " + std::string(what) + " in double quotes"; }
inline std::string wrongWord(std::string_view what, std::string_view found) {
    return "expected " + std::string(what) + ", found \"" + std::string(found) + "\"";
}
// What a line lacks, for the three above.
inline constexpr std::string_view kAnAction = "an action";
inline constexpr std::string_view kAControlId = "a control id";
inline constexpr std::string_view kTheCaption = "the caption";
inline constexpr std::string_view kTheText = "the text";
inline constexpr std::string_view kAnEntryNumber = "an entry number";
inline constexpr std::string_view kUpOrDown = "up or down";
inline constexpr std::string_view kAKey = "return, escape or tab";
inline constexpr std::string_view kASystemCommand = "a system command";
inline constexpr std::string_view kAnExpectation = "text, checked, enabled, focus, items or selected";
inline constexpr std::string_view kYesOrNo = "yes or no";
inline constexpr std::string_view kAnEntry = "an entry";
inline constexpr std::string_view kAPath = "a path";
inline constexpr std::string_view kPathOrCancel = "a path in double quotes or cancel";
inline constexpr std::string_view kAFileName = "a file name";

// What the program showed instead of what a line expected.
inline std::string shownMessageBox(std::string_view captionQuoted, std::string_view textQuoted) {
    return "a message box " + std::string(captionQuoted) + " " + std::string(textQuoted);
}
inline std::string shownFileDialog(std::string_view titleQuoted) {
    return "the file-open dialog " + std::string(titleQuoted);
}
// The path as the system writes it, not as a script string: it ends the line.
inline std::string notAnExistingFile(std::string_view line, std::string_view fullPath) {
    return "expected an existing file for " + std::string(line) + ", found none at " + std::string(fullPath);
}
inline std::string lineNotMet(std::string_view line, std::string_view shown) {
    return "expected " + std::string(line) + ", found " + std::string(shown);
}
inline std::string lineNotMetAtEnd(std::string_view line) {
    return "expected " + std::string(line) + ", found the end of the program";
}
inline std::string programGoesOn(std::string_view shown) {
    return "expected the end of the program, found " + std::string(shown);
}
inline std::string scriptEndedWhileOpen(std::string_view captionQuoted) {
    return "expected more lines, found the end of the script while the dialog " + std::string(captionQuoted) +
           " is still open";
}
inline std::string dialogWaiting(std::string_view line, std::string_view captionQuoted) {
    return "expected " + std::string(line) + ", found the dialog " + std::string(captionQuoted) + " waiting for input";
}
inline std::string wrongMessageBox(std::string_view captionQuoted, std::string_view textQuoted,
                                   std::string_view shown) {
    return "expected the message box " + std::string(captionQuoted) + " " + std::string(textQuoted) + ", found " +
           std::string(shown);
}
inline std::string wrongDialog(std::string_view expectedQuoted, std::string_view foundQuoted) {
    return "expected the dialog " + std::string(expectedQuoted) + ", found the dialog " + std::string(foundQuoted);
}

// Controls.
inline std::string controlName(int id) { return "control " + std::to_string(id); }
inline constexpr std::string_view kAButton = "a button, check box or radio button";
inline constexpr std::string_view kACheckable = "a check box or radio button";
inline constexpr std::string_view kAnEdit = "an edit box";
inline constexpr std::string_view kACombo = "a combo box";
inline constexpr std::string_view kASpin = "a spin button";
inline std::string_view kindName(ControlKind k) {
    switch (k) {
        case ControlKind::PushButton: return "a push button";
        case ControlKind::DefPushButton: return "a default push button";
        case ControlKind::CheckBox: return "a check box";
        case ControlKind::RadioButton: return "a radio button";
        case ControlKind::GroupBox: return "a group box";
        case ControlKind::StaticText: return "a static text";
        case ControlKind::StaticIcon: return "a static icon";
        case ControlKind::Edit: return kAnEdit;
        case ControlKind::ComboBox: return kACombo;
        case ControlKind::Spin: return kASpin;
    }
    return "a control";
}
inline std::string noSuchControl(int id, std::string_view captionQuoted) {
    return "expected " + controlName(id) + " in the dialog " + std::string(captionQuoted) + ", found none";
}
inline std::string controlDisabled(int id, std::string_view line) {
    return "expected " + controlName(id) + " to be enabled for " + std::string(line) + ", found it disabled";
}
inline std::string wrongKind(std::string_view wanted, int id, ControlKind found) {
    return "expected " + std::string(wanted) + " with id " + std::to_string(id) + ", found " +
           std::string(kindName(found));
}
inline std::string noSuchEntry(long long entry, int id, int count) {
    return "expected an entry " + std::to_string(entry) + " in combo box " + std::to_string(id) + ", found " +
           std::to_string(count) + " entries";
}
inline std::string noBuddy(int id) {
    return "expected an edit box before spin button " + std::to_string(id) + ", found none";
}
inline std::string notInSystemMenu(unsigned command, std::string_view captionQuoted) {
    return "expected command " + std::to_string(command) + " in the system menu of the dialog " +
           std::string(captionQuoted) + ", found none";
}
inline std::string wrongText(std::string_view expectedQuoted, int id, std::string_view foundQuoted) {
    return "expected the text " + std::string(expectedQuoted) + " in " + controlName(id) + ", found " +
           std::string(foundQuoted);
}
inline std::string wrongCheck(int id, bool expected, bool found) {
    return "expected " + controlName(id) + (expected ? " checked" : " cleared") + ", found it " +
           (found ? "checked" : "cleared");
}
inline std::string wrongEnabled(int id, bool expected, bool found) {
    return "expected " + controlName(id) + (expected ? " enabled" : " disabled") + ", found it " +
           (found ? "enabled" : "disabled");
}
inline std::string wrongFocus(int id, int focus) {
    return "expected the focus on " + controlName(id) + ", found it " +
           (focus == kNoId ? std::string("on no control") : "on " + controlName(focus));
}
// Entry lists come as the quoted entries joined with blanks; empty for none.
inline std::string wrongItems(std::string_view expectedList, int id, std::string_view foundList) {
    const auto list = [](std::string_view l) { return l.empty() ? std::string("no entries") : std::string(l); };
    return "expected the entries " + list(expectedList) + " in " + controlName(id) + ", found " + list(foundList);
}
inline std::string wrongSelection(long long entry, int id, int selected) {
    return "expected entry " + std::to_string(entry) + " selected in " + controlName(id) + ", found " +
           (selected < 0 ? std::string("none") : "entry " + std::to_string(selected));
}

}  // namespace ui::msg
