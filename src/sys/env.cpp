#include "sys/env.h"

namespace sys {

std::string commandLineTailOf(std::string_view raw) {
    std::size_t i = 0;
    if (!raw.empty() && raw[0] == '"') {
        // A quoted program name ends at the next quote; an unclosed one takes the whole line.
        std::size_t close = raw.find('"', 1);
        i = close == std::string_view::npos ? raw.size() : close + 1;
    }
    while (i < raw.size() && raw[i] != ' ' && raw[i] != '\t') ++i;
    while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
    return std::string(raw.substr(i));
}

}  // namespace sys
