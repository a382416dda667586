// Every text the platform layer shows. The command interpreter's own texts
// are those that cmd.exe prints, so users see the same words on every system.
#pragma once

#include <string>
#include <string_view>

#include "sys/text.h"

namespace sys::msg {

inline constexpr std::string_view kFileNotFound = "The system cannot find the file specified.";
inline constexpr std::string_view kAccessDenied = "Access is denied.";
inline constexpr std::string_view kSyntaxIncorrect = "The syntax of the command is incorrect.";
inline constexpr std::string_view kDirectoryNotEmpty = "The directory is not empty.";
inline constexpr std::string_view kDirectoryNameInvalid = "The directory name is invalid.";
inline constexpr std::string_view kPressAnyKey = "Press any key to continue . . . ";

// Why a file could not be written; Windows' own words where it has them, so
// that users see the same reasons on every system.
inline constexpr std::string_view kPathNotFound = "The system cannot find the path specified.";
inline constexpr std::string_view kDiskFull = "There is not enough space on the disk.";
inline constexpr std::string_view kDirectoryInItsPlace = "It is a directory, not a file.";
inline std::string otherWriteFault(std::string_view systemText) { return sys::concat({systemText, "."}); }

inline std::string couldNotFind(std::string_view path) { return sys::concat({"Could Not Find ", path}); }

inline std::string notRecognized(std::string_view name) {
    return sys::concat({"'", name, "' is not recognized as an internal or external command, operable program or batch file."});
}
inline std::string isDirectory(std::string_view name) {
    return sys::concat({"'", name, "' is a directory, not a program."});
}
inline std::string cannotRun(std::string_view name, std::string_view reason) {
    return sys::concat({"'", name, "' cannot be run: ", reason});
}

// Faults in the command text itself: nothing of it runs.
inline constexpr std::string_view kEmptyCommand = "The command is empty.";
inline constexpr std::string_view kEmptyPart = "A command before or after \"&&\" is empty.";
inline constexpr std::string_view kNothingToStart = "\"start\" was given nothing to start.";
inline std::string rejected(std::string_view text, std::string_view reason) {
    return sys::concat({"Command not run: ", reason, " (", text, ")"});
}

// A path or name that no command text can hold as one word: the command
// that would hold it is not built.
inline constexpr std::string_view kPath = "path";
inline constexpr std::string_view kProjectName = "project name";
inline std::string notOneWord(std::string_view what, std::string_view text) {
    return sys::concat({"*** Error: The ", what, " ", text,
                        " contains a double quote character, which cannot be passed to the tools safely."});
}

// Windows only.
inline std::string cannotStartInterpreter(std::string_view path, unsigned long code) {
    return sys::concat({"The command interpreter ", path, " cannot be started (error ", std::to_string(code), ")."});
}

}  // namespace sys::msg
