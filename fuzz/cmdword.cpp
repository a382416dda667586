// Every command that puts a path or name of the program's own into a command
// text: for any such text (every byte but NUL), the command reads back, in
// the runner's own reading, as exactly the intended words, or, when the text
// holds a double quote that no word can hold, there is no command at all.
#include <string>
#include <vector>

#include "app/reportrun.h"
#include "app/shared.h"
#include "check.h"
#include "clean/removal.h"
#include "mode/options.h"
#include "sys/cmdparse.h"
#include "sys/files.h"

namespace {

using sys::cmd::Parsed;
using Words = std::vector<std::string>;

Words textsOf(const std::vector<sys::cmd::Word>& words, std::size_t from = 0) {
    Words texts;
    for (std::size_t i = from; i < words.size(); ++i) texts.push_back(words[i].text);
    return texts;
}

// The words of a command text that must be one command.
Words wordsOf(const std::optional<std::string>& text) {
    FUZZ_CHECK(text.has_value());
    const Parsed parsed = sys::cmd::parseCommandText(*text);
    FUZZ_CHECK(parsed.error.empty() && parsed.commands.size() == 1 && !parsed.commands[0].joinStderr);
    return textsOf(parsed.commands[0].words);
}

// What "start" is asked to start, and where.
sys::cmd::StartRequest startOf(const std::optional<std::string>& text) {
    FUZZ_CHECK(text.has_value());
    const Parsed parsed = sys::cmd::parseCommandText(*text);
    FUZZ_CHECK(parsed.error.empty() && parsed.commands.size() == 1);
    const auto& words = parsed.commands[0].words;
    FUZZ_CHECK(words[0].text == "start" && !words[0].quoted);
    const std::vector<sys::cmd::Word> args(words.begin() + 1, words.end());
    const sys::cmd::StartRequest request = sys::cmd::parseStart(args);
    FUZZ_CHECK(request.error.empty());
    return request;
}

std::string trimmedBlanks(const std::string& path) {
    const std::size_t first = path.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return path.substr(first, path.find_last_not_of(" \t") - first + 1);
}

bool holdsQuote(const std::string& text) { return text.find('"') != std::string::npos; }

// With or without blanks around it, a quote inside a word ends no command
// text well: every command that would hold it is refused.
void refusedEverywhere(const std::string& path) {
    FUZZ_CHECK(!app::hookCommand(path, "Demo"));
    FUZZ_CHECK(!app::hookCommand("zebhome", path));
    FUZZ_CHECK(!mode::zebwrapCommand(true, true, path));
    FUZZ_CHECK(!mode::zebwrapCommand(false, true, path));
    FUZZ_CHECK(!mode::deleteCommand(path));
    FUZZ_CHECK(!clean::removeDirectoryCommand(path));
    FUZZ_CHECK(!app::consoleListingCommand(path));
    FUZZ_CHECK(!app::helpCommand(path));
    FUZZ_CHECK(!app::viewerCommand("", path));
}

// The viewer loses only the blanks around it and the user's own quotes
// around what is left; without a program the file is started alone.
void viewerStarts(const std::string& path) {
    std::string viewer = trimmedBlanks(path);
    const bool quotedByUser = viewer.size() >= 2 && viewer.front() == '"' && viewer.back() == '"';
    if (quotedByUser) viewer = viewer.substr(1, viewer.size() - 2);
    const std::optional<std::string> command = app::viewerCommand(path, "zebtiming.txt");
    if (holdsQuote(viewer)) {
        FUZZ_CHECK(!command);
        return;
    }
    const sys::cmd::StartRequest viewed = startOf(command);
    FUZZ_CHECK(!viewed.directory);
    FUZZ_CHECK(viewed.words ==
               (viewer.empty() && !quotedByUser ? Words{"zebtiming.txt"} : Words{viewer, "zebtiming.txt"}));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path;
    for (char c : fuzz::text(data, size))
        if (c != '\0') path += c;

    viewerStarts(path);
    if (holdsQuote(path)) {
        refusedEverywhere(path);
        return 0;
    }

    FUZZ_CHECK(wordsOf(app::hookCommand(path, path)) == (Words{app::reportHookPath(path), path}));
    FUZZ_CHECK(wordsOf(mode::zebwrapCommand(true, true, path)) ==
               (Words{"zebwrap", "-hard", "-ide", "-modeon", "-only", path}));
    FUZZ_CHECK(wordsOf(mode::zebwrapCommand(false, true, path)) ==
               (Words{"zebwrap", "-hard", "-ide", "-modeoff", "-only", path}));
    FUZZ_CHECK(wordsOf(mode::deleteCommand(path)) == (Words{"del", path}));
    FUZZ_CHECK(wordsOf(clean::removeDirectoryCommand(path)) == (Words{"rmdir", "/s", "/q", path}));

    // "type" of the listing, then "pause".
    const std::optional<std::string> typed = app::consoleListingCommand(path);
    FUZZ_CHECK(typed.has_value());
    const Parsed parsed = sys::cmd::parseCommandText(*typed);
    FUZZ_CHECK(parsed.error.empty() && parsed.commands.size() == 2);
    FUZZ_CHECK(textsOf(parsed.commands[0].words) == (Words{"type", path}));
    FUZZ_CHECK(textsOf(parsed.commands[1].words) == (Words{"pause"}));

    const sys::cmd::StartRequest help = startOf(app::helpCommand(path));
    FUZZ_CHECK(help.directory == app::helpDirectory(path) && help.words == (Words{"vsZEBhelp.bat"}));

    const sys::cmd::StartRequest opened = startOf(app::viewerCommand("", path));
    FUZZ_CHECK(!opened.directory && opened.words == (Words{path}));
    return 0;
}
