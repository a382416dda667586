// Environment and process context: the few things the program reads of the
// world it was started in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sys {

// The value of an environment variable; an unset variable reads as empty text.
std::string getEnv(const std::string& name);

// The current working directory, or nothing when it cannot be obtained.
// It is never cut to a fixed buffer: a long directory comes back whole.
std::optional<std::string> currentDirectory();

// The full path of a name as the platform's own file dialogs return a choice:
// relative to the current directory, with "." and ".." parts resolved and, on
// Windows, '/' written as '\\'. Nothing is looked up on disk.
std::string fullPath(const std::string& path);

// The text that follows the program name on the command line. On Windows it
// is the raw command line less the program name; elsewhere the arguments
// joined with single blanks.
std::string commandLineTail(int argc, char** argv);

// The tail of a raw Windows command line: the program name (quoted or not)
// and the blanks after it are dropped, the rest is kept as it stands.
std::string commandLineTailOf(std::string_view rawCommandLine);

}  // namespace sys
