#include "sys/env.h"

namespace sys {

std::string commandLineTailOf(std::string_view raw) {
    // As the C runtime of a Windows program finds it: a quoted name ends
    // right after its closing quote, another at the first blank or control
    // character.
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    std::size_t i = 0;
    if (!raw.empty() && raw[0] == '"') {
        std::size_t close = raw.find('"', 1);
        i = close == std::string_view::npos ? raw.size() : close + 1;
    } else {
        while (i < raw.size() && !blank(raw[i])) ++i;
    }
    while (i < raw.size() && blank(raw[i])) ++i;
    return std::string(raw.substr(i));
}

}  // namespace sys
