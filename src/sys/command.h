// The one way the program runs a command: through the system's command
// interpreter (cmd.exe on Windows, our own cmd-compatible layer elsewhere),
// and the one rule for putting a path or a name into a command text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sys {

// Runs the command text, waits for it and returns its exit status (0 is
// success). Standard output is flushed first, so the program's lines and the
// command's output appear in order. A command that cannot be run gives a
// non-zero status and a line that says why: on standard output, where the IDE
// shows it, when the runner itself cannot carry the text out; where the
// interpreter reports it (the command's standard error) when the program it
// names cannot be found or started.
int runCommand(const std::string& text);

// A path or name as one word of a command text: in double quotes when it
// holds a blank or a character that cmd.exe acts on outside quotes, exactly
// as it stands otherwise. Nothing when no command text can hold it as one
// word: a double quote inside would end the quotes early, and nothing
// escapes it there.
std::optional<std::string> commandWord(std::string_view text);

// The same word, in double quotes whatever it holds.
std::optional<std::string> quotedCommandWord(std::string_view text);

// True when the word needs quotes to stay one word (see commandWord).
bool needsQuotes(std::string_view text);

}  // namespace sys
