// Standard output is the channel to the IDE: it reads whole lines from a pipe
// and shows them in its output window while the program runs.
#pragma once

#include <string_view>

namespace sys {

// Writes the line and a newline, then flushes, so the IDE sees it before the
// next command's output.
void writeLine(std::string_view line);

// Writes the text unchanged (it carries its own line ends) and does not flush.
void writeText(std::string_view text);

// Flushes every output stream.
void flushAll();

// A line on standard error, flushed (for failures that have no place in the
// IDE's output window).
void writeErrorLine(std::string_view line);

}  // namespace sys
