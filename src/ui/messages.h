// Every text that the dialog framework itself shows or writes: the data
// exchange messages, the start-up errors of the user interface, and what the
// script driver reports when a script does not hold.
#pragma once

#include <string>
#include <string_view>

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

// Script failures; the driver puts "vsZEB script: line N: " before them.
inline std::string cannotReadScript(std::string_view path) {
    return "expected a readable script file, found none at \"" + std::string(path) + "\"";
}

}  // namespace ui::msg
