#include "mode/options.h"

#include "sys/command.h"
#include "sys/text.h"

#include <cctype>

namespace mode {

namespace {

constexpr std::string_view kEndWord = "END_OF_ZEB_OPTIONS";

// The next white-space-delimited word at or after `pos`; empty at the end.
std::string_view nextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && sys::isSpace(text[pos])) ++pos;
    std::size_t start = pos;
    while (pos < text.size() && !sys::isSpace(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

}  // namespace

std::string firstLine(std::string_view content) {
    std::string_view line = content.substr(0, kMaxLineChars);
    line = line.substr(0, line.find('\n'));
    // The line was a C string: it ends at the first NUL.
    line = line.substr(0, line.find('\0'));
    return std::string(line);
}

InstrumentationSettings parseOptionsLine(std::string_view line) {
    const std::string prefixed = " " + std::string(line);
    std::string_view kept;
    const std::size_t marker = prefixed.find(" -i ");
    if (marker != std::string::npos) {
        kept = std::string_view(prefixed).substr(marker + 4);
    } else if (prefixed.size() > 3) {
        kept = std::string_view(prefixed).substr(3);
    }

    std::size_t pos = 0;
    const std::string_view levelWord = nextWord(kept, pos);

    InstrumentationSettings settings;
    if (levelWord.find('f') != std::string_view::npos) {
        settings.level = CoverageLevel::Function;
    } else if (levelWord.find('d') != std::string_view::npos) {
        settings.level = CoverageLevel::Decision;
    } else {
        settings.level = CoverageLevel::Multicondition;
    }
    if (levelWord.find("ti") != std::string_view::npos) {
        settings.timing = true;
        settings.inclusive = true;
    } else if (levelWord.find("te") != std::string_view::npos) {
        settings.timing = true;
        settings.inclusive = false;
    } else {
        settings.timing = false;
        settings.inclusive = true;
    }
    // The level word's length is cut from the start of the kept text, not
    // from where the word stands: the files we write never put blanks there.
    settings.additionalOptions = sys::trim(kept.substr(levelWord.size()));
    return settings;
}

std::string formatOptionsLine(const InstrumentationSettings& settings) {
    std::string line;
    switch (settings.level) {
        case CoverageLevel::Function: line = "-i f"; break;
        case CoverageLevel::Decision: line = "-i d"; break;
        case CoverageLevel::Multicondition: line = "-i m"; break;
    }
    if (settings.timing) line += settings.inclusive ? "ti" : "te";
    line += ' ';
    line += settings.additionalOptions;
    return sys::trim(line);
}

std::string cleanOptionsText(std::string_view boxText) {
    std::string text;
    text.reserve(boxText.size());
    for (char c : boxText) {
        if (c == '\r') continue;
        text += (c == '\n') ? ' ' : c;
    }
    return sys::trim(text);
}

std::optional<std::string> rejectedOption(std::string_view cleaned) {
    const std::string words = std::string(cleaned) + " " + std::string(kEndWord);
    std::size_t pos = 0;
    for (;;) {
        const std::string_view word = nextWord(words, pos);
        if (word == kEndWord || word.empty()) return std::nullopt;
        if (word == "-i" || word == "-h") return std::string(word);
    }
}

std::optional<std::string> zebwrapCommand(bool modeOn, bool uVision, std::string_view modeDir) {
    if (!uVision) return std::string(modeOn ? "zebwrap -ide -modeon" : "zebwrap -ide -modeoff");
    // The short form of the Keil directory has no blank, but a system
    // without short names gives the long one; and a name such as R&D is a
    // valid short name too.
    const std::optional<std::string> dir = sys::commandWord(modeDir);
    if (!dir) return std::nullopt;
    return sys::concat({modeOn ? "zebwrap -hard -ide -modeon -only " : "zebwrap -hard -ide -modeoff -only ", *dir});
}

std::optional<std::string> deleteCommand(std::string_view path) {
    const std::optional<std::string> file = sys::quotedCommandWord(path);
    if (!file) return std::nullopt;
    return sys::concat({"del ", *file});
}

}  // namespace mode
