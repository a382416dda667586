// Command texts as the runner reads them on systems without cmd.exe.
#include "sys/cmdparse.h"

#include "check.h"

namespace {

using sys::cmd::Command;
using sys::cmd::Parsed;
using sys::cmd::Word;

std::string withoutQuotes(std::string_view raw) {
    std::string text;
    for (char c : raw)
        if (c != '"') text += c;
    return text;
}

bool sameWords(const std::vector<Word>& a, const std::vector<Word>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].text != b[i].text || a[i].quoted != b[i].quoted || a[i].raw != b[i].raw) return false;
    return true;
}

// The commands written again with one blank between words and nothing after
// the last, which may hold a quote that runs to the end.
std::string rewritten(const std::vector<Command>& commands) {
    std::string text;
    for (const Command& command : commands) {
        if (!text.empty()) text += " && ";
        for (std::size_t i = 0; i < command.words.size(); ++i) text += (i ? " " : "") + command.words[i].raw;
        if (command.joinStderr) text += " 2>&1";
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Parsed parsed = sys::cmd::parseCommandText(fuzz::text(data, size));
    if (!parsed.error.empty()) {
        FUZZ_CHECK(parsed.commands.empty());
        return 0;
    }
    FUZZ_CHECK(!parsed.commands.empty());
    for (const Command& command : parsed.commands) {
        FUZZ_CHECK(!command.words.empty());
        for (const Word& word : command.words) {
            // A word is what was written less its quotes; "&&" on its own
            // joins commands and is no word.
            FUZZ_CHECK(word.text == withoutQuotes(word.raw));
            FUZZ_CHECK(word.quoted == (word.raw.find('"') != std::string::npos));
            FUZZ_CHECK(word.quoted || word.raw != "&&");
        }
        const std::vector<Word> args(command.words.begin() + 1, command.words.end());
        const sys::cmd::StartRequest start = sys::cmd::parseStart(args);
        if (start.error.empty()) FUZZ_CHECK(!start.words.empty());
    }

    // Blanks between words do not matter.
    const Parsed again = sys::cmd::parseCommandText(rewritten(parsed.commands));
    FUZZ_CHECK(again.error.empty() && again.commands.size() == parsed.commands.size());
    for (std::size_t i = 0; i < again.commands.size(); ++i) {
        FUZZ_CHECK(sameWords(again.commands[i].words, parsed.commands[i].words));
        FUZZ_CHECK(again.commands[i].joinStderr == parsed.commands[i].joinStderr);
    }
    return 0;
}
