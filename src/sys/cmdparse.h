// The command texts that the program hands to the command interpreter, read
// the way cmd.exe reads the few features the program relies on. Used by the
// runner on systems without cmd.exe; pure, so that no process is needed to
// check it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sys::cmd {

struct Word {
    std::string text;     // the quotes removed
    bool quoted = false;  // it had at least one double quote
    std::string raw;      // as written
};

struct Command {
    std::vector<Word> words;  // never empty
    bool joinStderr = false;  // it ended in " 2>&1"
};

struct Parsed {
    std::vector<Command> commands;  // joined by "&&": each runs only when the one before gave 0
    std::string error;              // not empty: the text is refused and nothing of it runs
};

Parsed parseCommandText(std::string_view text);

// The built-in commands; case does not matter, as in cmd.exe.
enum class Builtin { none, type, pause, start, rmdir, del };
Builtin builtinOf(const Word& first);

// What "start" was asked to do.
struct StartRequest {
    std::optional<std::string> directory;  // /D"DIR"
    std::vector<std::string> words;        // program and arguments, or the one file
    std::string error;                     // not empty: nothing can be started
};

// The words after "start": an optional window title first (a word that
// begins with a double quote; ignored),
// then /D"DIR" or /D DIR, then the program and its arguments.
StartRequest parseStart(const std::vector<Word>& args);

}  // namespace sys::cmd
