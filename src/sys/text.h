// The program's texts are single-byte; white space is what the C library
// calls space (blank, tab, line feed, vertical tab, form feed, carriage
// return). These are the few text rules that every file format, option
// check and the command line share.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace sys {

bool isSpace(char c);

// The pieces one after the other, in one allocation.
std::string concat(std::initializer_list<std::string_view> parts);

// The text less its leading and trailing white space.
std::string trim(std::string_view text);

// The first `maxWords` words of the text, split at runs of white space.
std::vector<std::string_view> splitWords(std::string_view text,
                                         std::size_t maxWords = std::numeric_limits<std::size_t>::max());

}  // namespace sys
