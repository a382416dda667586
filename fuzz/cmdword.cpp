// Every command that puts a path or name of the program's own into a command
// text: for any such text (every byte but NUL and the double quote, which no
// word can hold), the command reads back, in the runner's own reading, as
// exactly the intended words.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string path;
    for (char c : fuzz::text(data, size))
        if (c != '\0' && c != '"') path += c;

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

    // The viewer loses only the blanks around it; without one the file is
    // started alone.
    const std::string viewer = trimmedBlanks(path);
    const sys::cmd::StartRequest viewed = startOf(app::viewerCommand(path, "zebtiming.txt"));
    FUZZ_CHECK(!viewed.directory);
    FUZZ_CHECK(viewed.words == (viewer.empty() ? Words{"zebtiming.txt"} : Words{viewer, "zebtiming.txt"}));
    const sys::cmd::StartRequest opened = startOf(app::viewerCommand("", path));
    FUZZ_CHECK(!opened.directory && opened.words == (Words{path}));
    return 0;
}
