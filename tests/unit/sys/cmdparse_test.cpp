// How command texts are read: the words, the "&&" chain, " 2>&1", and the
// forms of "start". No process is started here.
#include "sys/cmdparse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sys::cmd::parseCommandText;

std::vector<std::vector<std::string>> wordsOf(const sys::cmd::Parsed& parsed) {
    std::vector<std::vector<std::string>> all;
    for (const auto& command : parsed.commands) {
        std::vector<std::string> words;
        for (const auto& w : command.words) words.push_back(w.text);
        all.push_back(words);
    }
    return all;
}

struct WordsCase {
    const char* text;
    std::vector<std::vector<std::string>> words;
};

TEST(CommandText, SplitsIntoWordsAndCommands) {
    const std::vector<WordsCase> cases = {
        {"zebpost -p zebprofile.txt", {{"zebpost", "-p", "zebprofile.txt"}}},
        {"  a \t b  ", {{"a", "b"}}},
        {"report_hook.bat \"my project\"", {{"report_hook.bat", "my project"}}},
        {"a \"\" b", {{"a", "", "b"}}},
        {"a x\"y z\"w", {{"a", "xy zw"}}},
        {"a && b c && d", {{"a"}, {"b", "c"}, {"d"}}},
        {"echo \"x && y\"", {{"echo", "x && y"}}},
        // Only " && " with its blanks joins commands; the rest is plain text.
        {"a&&b c &&d", {{"a&&b", "c", "&&d"}}},
        {"a ; b | c > d < e & f %PATH% $HOME `x` $(y)",
         {{"a", ";", "b", "|", "c", ">", "d", "<", "e", "&", "f", "%PATH%", "$HOME", "`x`", "$(y)"}}},
        {"a C:\\dir\\ \"b\\\"", {{"a", "C:\\dir\\", "b\\"}}},
        // A quote that is not closed runs to the end, as in cmd.exe: what
        // follows it, "&&" and " 2>&1" too, is the last word.
        {"a \"b", {{"a", "b"}}},
        {"zeb2html -o \"My  -nsb 2>&1", {{"zeb2html", "-o", "My  -nsb 2>&1"}}},
        {"a && \"b && c", {{"a"}, {"b && c"}}},
        {"a \"b\" c\"d && e\"f \"g h", {{"a", "b", "cd && ef", "g h"}}},
    };
    for (const auto& c : cases) {
        auto parsed = parseCommandText(c.text);
        EXPECT_EQ(parsed.error, "") << c.text;
        EXPECT_EQ(wordsOf(parsed), c.words) << c.text;
    }
}

TEST(CommandText, TrailingRedirectionJoinsStderrOfThatCommandOnly) {
    auto parsed = parseCommandText("zebpost -u x 2>&1 && type x && zeb2html \"2>&1\"");
    ASSERT_EQ(parsed.commands.size(), 3u);
    EXPECT_TRUE(parsed.commands[0].joinStderr);
    EXPECT_EQ(wordsOf(parsed)[0], (std::vector<std::string>{"zebpost", "-u", "x"}));
    EXPECT_FALSE(parsed.commands[1].joinStderr);
    // Quoted, it is an argument like any other.
    EXPECT_FALSE(parsed.commands[2].joinStderr);
    EXPECT_EQ(wordsOf(parsed)[2], (std::vector<std::string>{"zeb2html", "2>&1"}));
    // Inside a quote that is not closed, it is text too.
    EXPECT_FALSE(parseCommandText("zeb2html -o \"My 2>&1").commands[0].joinStderr);
}

TEST(CommandText, RefusesWholeTextsThatCannotBeRead) {
    for (const char* text : {"", "   ", "2>&1", "a && ", "a &&", " && b", "a &&  && b", "a && 2>&1"}) {
        auto parsed = parseCommandText(text);
        EXPECT_NE(parsed.error, "") << text;
        EXPECT_TRUE(parsed.commands.empty()) << text;
    }
}

TEST(CommandText, BuiltinsIgnoreCase) {
    using sys::cmd::Builtin;
    auto first = [](const char* text) { return sys::cmd::builtinOf(parseCommandText(text).commands[0].words[0]); };
    EXPECT_EQ(first("TYPE x"), Builtin::type);
    EXPECT_EQ(first("Pause"), Builtin::pause);
    EXPECT_EQ(first("start x"), Builtin::start);
    EXPECT_EQ(first("RmDir /S /Q x"), Builtin::rmdir);
    EXPECT_EQ(first("del \"x\""), Builtin::del);
    EXPECT_EQ(first("types x"), Builtin::none);
    EXPECT_EQ(first("/usr/bin/type x"), Builtin::none);
}

struct StartCase {
    const char* text;  // what follows "start"
    std::optional<std::string> directory;
    std::vector<std::string> words;
};

TEST(StartCommand, TitleDirectoryAndProgram) {
    const std::vector<StartCase> cases = {
        {"viewer zebtiming.txt", std::nullopt, {"viewer", "zebtiming.txt"}},
        {" zebtiming.txt", std::nullopt, {"zebtiming.txt"}},
        {"\"\" \"/opt/my viewer/v\" out.txt", std::nullopt, {"/opt/my viewer/v", "out.txt"}},
        {"\"Title\" v f", std::nullopt, {"v", "f"}},
        {"/D\"/home/zeb/Vs_integ\" vsZEBhelp.bat", "/home/zeb/Vs_integ", {"vsZEBhelp.bat"}},
        {"/d\"/a dir\" h.bat", "/a dir", {"h.bat"}},
        {"/D /tmp h.bat", "/tmp", {"h.bat"}},
        {"\"\" /D\"/tmp\" h.bat", "/tmp", {"h.bat"}},
        // Unquoted, it is a path like any other on these systems.
        {"/Data/viewer f", std::nullopt, {"/Data/viewer", "f"}},
    };
    for (const auto& c : cases) {
        auto parsed = parseCommandText(std::string("start ") + c.text);
        ASSERT_EQ(parsed.error, "") << c.text;
        const auto& words = parsed.commands[0].words;
        auto request = sys::cmd::parseStart({words.begin() + 1, words.end()});
        EXPECT_EQ(request.error, "") << c.text;
        EXPECT_EQ(request.directory, c.directory) << c.text;
        EXPECT_EQ(request.words, c.words) << c.text;
    }
}

TEST(StartCommand, NothingToStartIsAnError) {
    for (const char* text : {"start", "start \"title\"", "start /D\"/tmp\"", "start /D"}) {
        const auto parsed = parseCommandText(text);
        const auto& words = parsed.commands[0].words;
        EXPECT_NE(sys::cmd::parseStart({words.begin() + 1, words.end()}).error, "") << text;
    }
}

}  // namespace
