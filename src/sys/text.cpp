#include "sys/text.h"

#include <cctype>

namespace sys {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string concat(std::initializer_list<std::string_view> parts) {
    std::size_t size = 0;
    for (std::string_view p : parts) size += p.size();
    std::string text;
    text.reserve(size);
    for (std::string_view p : parts) text += p;
    return text;
}

std::string trim(std::string_view text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

std::vector<std::string_view> splitWords(std::string_view text, std::size_t maxWords) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (words.size() < maxWords) {
        while (at < text.size() && isSpace(text[at])) ++at;
        if (at == text.size()) break;
        const std::size_t begin = at;
        while (at < text.size() && !isSpace(text[at])) ++at;
        words.push_back(text.substr(begin, at - begin));
    }
    return words;
}

}  // namespace sys
