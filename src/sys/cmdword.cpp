#include "sys/command.h"

#include "sys/text.h"

namespace sys {
namespace {

// What cmd.exe acts on in a word outside double quotes, and why it matters:
//   blank, tab   end the word (here too)
//   & | < >      start a second command, a pipe or a redirection
//   ^            escapes the next character and vanishes itself
//   ( )          open and close a block of commands
//   , ; =        end an argument of a batch file and of cmd's own commands
// Inside double quotes none of them is special. The program's other texts
// (file names such as zebprofile.txt, ordinary paths) hold none of them and
// go out unchanged.
//
// "%" is left as it is: cmd.exe expands %NAME% of a defined variable inside
// quotes as well, and no escape holds for every receiver. A caret before it
// works only outside quotes on Windows (Wine's cmd expands it anyway), and
// splitting the quotes around it reaches a batch file, which sees its
// arguments with their quotes, as a different text; "" inside the quotes
// reaches a program as a literal quote. A single "%" is harmless.
constexpr std::string_view kSpecial = " \t&|<>^(),;=";

constexpr char kQuote = '"';

}  // namespace

bool needsQuotes(std::string_view text) {
    return text.empty() || text.find_first_of(kSpecial) != std::string_view::npos;
}

std::optional<std::string> quotedCommandWord(std::string_view text) {
    if (text.find(kQuote) != std::string_view::npos) return std::nullopt;
    return concat({"\"", text, "\""});
}

std::optional<std::string> commandWord(std::string_view text) {
    if (needsQuotes(text)) return quotedCommandWord(text);
    if (text.find(kQuote) != std::string_view::npos) return std::nullopt;
    return std::string(text);
}

}  // namespace sys
