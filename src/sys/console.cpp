// C stdio on both systems: the program's own lines and the output of the
// commands it runs share one stream, and a flush before each command keeps
// them in order.
#include "sys/console.h"

#include <cstdio>

namespace sys {

void writeLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void writeText(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void flushAll() { std::fflush(nullptr); }

void writeErrorLine(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

}  // namespace sys
