#include "ui/fltk/text.h"

#include <vector>

namespace ui::fltk {

std::string labelText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '@') out += '@';
        out += c;
    }
    return out;
}

std::string choiceEntryText(std::string_view text) {
    std::string out;
    for (char c : labelText(text)) {
        if (c == '/' || c == '\\' || (c == '_' && out.empty())) out += '\\';
        out += c;
    }
    return out;
}

std::string toEditorText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

std::string fromEditorText(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

int messageTextLimit(int screenWidth) { return screenWidth * 5 / 8; }

namespace {

// One line of the text's own, broken to fit.
void wrapLine(std::string_view line, int limit, const std::function<int(std::string_view)>& width,
              std::string& out) {
    std::string current;
    const auto flush = [&] {
        out += current;
        out += '\n';
        current.clear();
    };
    std::size_t start = 0;
    bool first = true;
    while (start <= line.size()) {
        const std::size_t blank = line.find(' ', start);
        const std::size_t end = blank == std::string_view::npos ? line.size() : blank;
        std::string_view word = line.substr(start, end - start);
        const std::string joined = first ? std::string(word) : current + ' ' + std::string(word);
        if (first || width(joined) <= limit) {
            current = joined;
        } else {
            flush();
            current = std::string(word);
        }
        first = false;
        // a word wider than a line of its own breaks where it reaches the edge
        while (width(current) > limit && current.size() > 1) {
            std::size_t fit = 1;
            while (fit < current.size() && width(std::string_view(current).substr(0, fit + 1)) <= limit) ++fit;
            const std::string rest = current.substr(fit);
            current.resize(fit);
            flush();
            current = rest;
        }
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    out += current;
}

}  // namespace

std::string wrapText(std::string_view text, int limit, const std::function<int(std::string_view)>& width) {
    std::string out;
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = text.find('\n', start);
        std::string_view line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        wrapLine(line, limit, width, out);
        if (nl == std::string_view::npos) break;
        out += '\n';
        start = nl + 1;
    }
    return out;
}

}  // namespace ui::fltk
