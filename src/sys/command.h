// The one way the program runs a command: through the system's command
// interpreter (cmd.exe on Windows, our own cmd-compatible layer elsewhere).
#pragma once

#include <string>

namespace sys {

// Runs the command text, waits for it and returns its exit status (0 is
// success). Standard output is flushed first, so the program's lines and the
// command's output appear in order. A command that cannot be run gives a
// non-zero status and a line that says why: on standard output, where the IDE
// shows it, when the runner itself cannot carry the text out; where the
// interpreter reports it (the command's standard error) when the program it
// names cannot be found or started.
int runCommand(const std::string& text);

}  // namespace sys
