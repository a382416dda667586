// The one way the program runs a command: through the system's command
// interpreter (cmd.exe on Windows, our own cmd-compatible layer elsewhere).
#pragma once

#include <string>

namespace sys {

// Runs the command text, waits for it and returns its exit status (0 is
// success). Standard output is flushed first, so the program's lines and the
// command's output appear in order. A command that cannot be run gives a
// non-zero status and a line on standard error.
int runCommand(const std::string& text);

}  // namespace sys
