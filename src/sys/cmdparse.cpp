#include "sys/cmdparse.h"

#include <cctype>

#include "sys/messages.h"

namespace sys::cmd {
namespace {

constexpr std::string_view kAnd = "&&";
constexpr std::string_view kJoin = "2>&1";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// As in cmd.exe, a double quote that is not closed runs to the end of the
// text: the rest, blanks, "&&" and " 2>&1" included, is one word.
std::vector<Word> splitWords(std::string_view text) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i == text.size()) break;
        Word word;
        bool inQuotes = false;
        std::size_t begin = i;
        for (; i < text.size() && (inQuotes || !isBlank(text[i])); ++i) {
            if (text[i] == '"') {
                inQuotes = !inQuotes;
                word.quoted = true;
            } else {
                word.text.push_back(text[i]);
            }
        }
        word.raw = std::string(text.substr(begin, i - begin));
        words.push_back(std::move(word));
    }
    return words;
}

}  // namespace

Parsed parseCommandText(std::string_view text) {
    Parsed parsed;
    // "&&" joins commands when it stands as a word of its own, outside quotes.
    std::vector<Word> words = splitWords(text);
    std::vector<Command> commands(1);
    for (Word& word : words) {
        if (!word.quoted && word.raw == kAnd)
            commands.emplace_back();
        else
            commands.back().words.push_back(std::move(word));
    }
    for (Command& command : commands) {
        if (!command.words.empty() && !command.words.back().quoted && command.words.back().raw == kJoin) {
            command.joinStderr = true;
            command.words.pop_back();
        }
        if (command.words.empty()) {
            parsed.error = commands.size() == 1 ? msg::kEmptyCommand : msg::kEmptyPart;
            return parsed;
        }
    }
    parsed.commands = std::move(commands);
    return parsed;
}

Builtin builtinOf(const Word& first) {
    const std::string_view name = first.text;
    if (equalsNoCase(name, "type")) return Builtin::type;
    if (equalsNoCase(name, "pause")) return Builtin::pause;
    if (equalsNoCase(name, "start")) return Builtin::start;
    if (equalsNoCase(name, "rmdir") || equalsNoCase(name, "rd")) return Builtin::rmdir;
    if (equalsNoCase(name, "del") || equalsNoCase(name, "erase")) return Builtin::del;
    return Builtin::none;
}

StartRequest parseStart(const std::vector<Word>& args) {
    StartRequest request;
    std::size_t i = 0;
    if (i < args.size() && args[i].raw.starts_with('"')) ++i;  // the window title
    if (i < args.size()) {
        // /D"DIR", /D "DIR" or /D DIR. An unquoted /Dxyz is left alone: on
        // these systems it is far more likely a path beginning with /D.
        const Word& w = args[i];
        const bool option = w.raw.size() >= 2 && w.raw[0] == '/' && (w.raw[1] == 'D' || w.raw[1] == 'd');
        if (option && w.raw.size() == 2) {
            if (i + 1 < args.size()) {
                request.directory = args[i + 1].text;
                i += 2;
            } else {
                request.error = msg::kSyntaxIncorrect;
                return request;
            }
        } else if (option && w.raw[2] == '"') {
            request.directory = w.text.substr(2);
            ++i;
        }
    }
    for (; i < args.size(); ++i) request.words.push_back(args[i].text);
    if (request.words.empty()) request.error = msg::kNothingToStart;
    return request;
}

}  // namespace sys::cmd
