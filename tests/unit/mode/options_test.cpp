// The options line of zebopts.rsp and the texts built from the Set dialog.
#include "mode/options.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using mode::CoverageLevel;
using mode::InstrumentationSettings;

InstrumentationSettings make(CoverageLevel level, bool timing, bool inclusive, std::string options) {
    return {level, timing, inclusive, std::move(options)};
}

TEST(OptionsLine, WritesLevelTimingAndOptionsAsOneTrimmedLine) {
    const std::vector<std::pair<InstrumentationSettings, std::string>> cases = {
        {make(CoverageLevel::Decision, false, true, ""), "-i d"},
        {make(CoverageLevel::Function, true, true, ""), "-i fti"},
        {make(CoverageLevel::Multicondition, true, false, "-v -DX=1"), "-i mte -v -DX=1"},
        {make(CoverageLevel::Multicondition, false, true, "-v"), "-i m -v"},
        // Timing off leaves no trace of the kind.
        {make(CoverageLevel::Function, false, false, "a  b"), "-i f a  b"},
    };
    for (const auto& [settings, line] : cases) EXPECT_EQ(mode::formatOptionsLine(settings), line);
}

TEST(OptionsLine, EveryLevelAndTimingSurvivesWriteThenRead) {
    for (CoverageLevel level : {CoverageLevel::Function, CoverageLevel::Decision, CoverageLevel::Multicondition}) {
        for (auto [timing, inclusive] : {std::pair{false, true}, std::pair{true, true}, std::pair{true, false}}) {
            for (std::string options : {"", "-v -DNAME=x --ifile"}) {
                const InstrumentationSettings written = make(level, timing, inclusive, options);
                const std::string line = mode::formatOptionsLine(written);
                EXPECT_EQ(mode::parseOptionsLine(line), written) << line;
                // A file written by us reads back to the very same line.
                EXPECT_EQ(mode::formatOptionsLine(mode::parseOptionsLine(line)), line);
            }
        }
    }
    // The timing kind is not kept through a line without timing.
    EXPECT_TRUE(mode::parseOptionsLine(mode::formatOptionsLine(make(CoverageLevel::Decision, false, false, ""))).inclusive);
}

TEST(OptionsLine, ReadsTheLevelWordAfterTheFirstMarker) {
    struct Case {
        std::string line;
        CoverageLevel level;
        bool timing, inclusive;
        std::string options;
    };
    const std::vector<Case> cases = {
        {"", CoverageLevel::Multicondition, false, true, ""},
        {"   \t ", CoverageLevel::Multicondition, false, true, ""},
        {"-i", CoverageLevel::Multicondition, false, true, ""},
        {"-i d", CoverageLevel::Decision, false, true, ""},
        {"-i fti", CoverageLevel::Function, true, true, ""},
        {"-i mte  rest of  line \t", CoverageLevel::Multicondition, true, false, "rest of  line"},
        {"-i dte\r", CoverageLevel::Decision, true, false, ""},
        // Letters are tested in a fixed order, case-sensitively.
        {"-i F", CoverageLevel::Multicondition, false, true, ""},
        {"-i dfte", CoverageLevel::Function, true, false, ""},
        {"-i mtite", CoverageLevel::Multicondition, true, true, ""},
        // Leading blanks still leave a marker; text before the marker is dropped.
        {"  -i d -v", CoverageLevel::Decision, false, true, "-v"},
        {"-v -i f -x", CoverageLevel::Function, false, true, "-x"},
        // Without a marker the word starts at the line's third character.
        {"-id -v", CoverageLevel::Decision, false, true, "-v"},
        {"xyz", CoverageLevel::Multicondition, false, true, ""},
        // Only the first marker counts; a later one is ordinary text.
        {"-i d -o -i f", CoverageLevel::Decision, false, true, "-o -i f"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mode::parseOptionsLine(c.line), make(c.level, c.timing, c.inclusive, c.options))
            << '"' << c.line << '"';
    }
}

TEST(OptionsLine, FirstLineIsCutLikeAThousandByteLineBuffer) {
    using namespace std::string_literals;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"-i d\nsecond line\n", "-i d"},
        {"-i d\r\n", "-i d\r"},
        {"no line end", "no line end"},
        {"\n-i f\n", ""},
        {"ab\0cd\n"s, "ab"},
        {"\0-i f"s, ""},
        {std::string(1500, 'a') + "\n", std::string(999, 'a')},
        {std::string(999, 'b') + "\nnext", std::string(999, 'b')},
        {std::string(998, 'c') + "\nnext", std::string(998, 'c')},
        // Bytes above 127 are ordinary characters.
        {"\xff\x80-i d\xe4\n", "\xff\x80-i d\xe4"},
    };
    for (const auto& [content, line] : cases) EXPECT_EQ(mode::firstLine(content), line);
}

TEST(OptionsBox, CleaningJoinsLinesAndTrims) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"-v", "-v"},
        {"-a\r\n-b", "-a -b"},
        {"-a\n-b\n", "-a -b"},
        {"\r\n  -a \r\n\r\n", "-a"},
        {"-a\n\n-b", "-a  -b"},
        {"-a\r-b", "-a-b"},
        {"\t\v\f ", ""},
    };
    for (const auto& [box, cleaned] : cases) EXPECT_EQ(mode::cleanOptionsText(box), cleaned) << box;
}

TEST(OptionsCheck, RejectsTheFirstLevelOrHelpWord) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"", std::nullopt},
        {"-v -DX", std::nullopt},
        {"-i", "-i"},
        {"-h", "-h"},
        {"-v -h x -i", "-h"},
        {"-v\t-i\fd", "-i"},
        // Words that merely begin with the letters, or differ in case, pass.
        {"-ifile -hx -I -H x-i", std::nullopt},
        // The end word exists only to stop the scan, also when a user types it.
        {"-v END_OF_ZEB_OPTIONS -i", std::nullopt},
        {"END_OF_ZEB_OPTIONSX -i", "-i"},
    };
    for (const auto& [text, rejected] : cases) EXPECT_EQ(mode::rejectedOption(text), rejected) << text;
}

TEST(Commands, ZebwrapNamesTheModeAndUVisionsDirectory) {
    EXPECT_EQ(mode::zebwrapCommand(true, false, "/ignored"), "zebwrap -ide -modeon");
    EXPECT_EQ(mode::zebwrapCommand(false, false, "/ignored"), "zebwrap -ide -modeoff");
    EXPECT_EQ(mode::zebwrapCommand(true, true, "C:\\KEIL~1\\BIN"), "zebwrap -hard -ide -modeon -only C:\\KEIL~1\\BIN");
    // A directory with a blank must stay one word, and one with a character
    // that the interpreter would act on must stay a directory.
    EXPECT_EQ(mode::zebwrapCommand(false, true, "/opt/keil dir/BIN"),
              "zebwrap -hard -ide -modeoff -only \"/opt/keil dir/BIN\"");
    EXPECT_EQ(mode::zebwrapCommand(true, true, "C:\\Keil\tv5\\BIN"), "zebwrap -hard -ide -modeon -only \"C:\\Keil\tv5\\BIN\"");
    for (const char* dir : {"C:\\R&D\\BIN", "C:\\A^B\\BIN", "/opt/k|e<i>l/BIN", "C:\\K(1)\\BIN", "/k,e;y=s/BIN"})
        EXPECT_EQ(mode::zebwrapCommand(true, true, dir), "zebwrap -hard -ide -modeon -only \"" + std::string(dir) + '"');
    EXPECT_EQ(mode::deleteCommand("/k/BIN/zebmodeon.txt"), "del \"/k/BIN/zebmodeon.txt\"");
    // A double quote would end the quotes early: no command holds it.
    const std::string quoted = "/keil\" && touch PWNED && \"/BIN";
    EXPECT_EQ(mode::zebwrapCommand(true, true, quoted), std::nullopt);
    EXPECT_EQ(mode::zebwrapCommand(true, false, quoted), "zebwrap -ide -modeon");
    EXPECT_EQ(mode::deleteCommand(quoted + "/zebmodeon.txt"), std::nullopt);
}

}  // namespace
