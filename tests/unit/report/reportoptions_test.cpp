#include "report/reportoptions.h"

#include <gtest/gtest.h>

namespace {

using report::checkZeb2htmlOptions;
using report::checkZebpostOptions;

TEST(ZebpostOptionCheck, RejectsTheFirstForbiddenWordInTextOrder) {
    struct Case {
        const char* options;
        const char* rejected;  // nullptr: passes
    };
    const Case cases[] = {
        {"", nullptr},
        {"   ", nullptr},
        {"-a -h -p", "-h"},
        {"-fmcdc -u", "-fmcdc"},
        {"x\t-t", "-t"},
        {"-opt1 arg -x", "-x"},
        {"-fc", "-fc"},
        {"-fd", "-fd"},
        {"-ff", "-ff"},
        // Case-sensitive, whole words only.
        {"-P -H -T 80 -pfoo -hx -FC", nullptr},
        // A typed end word ends the scan.
        {"-a END_OF_ZEBPOST_OPTIONS -p -h", nullptr},
        {"END_OF_ZEBPOST_OPTIONSx -u", "-u"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        const report::OptionCheck r = checkZebpostOptions(c.options);
        if (c.rejected) {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(*r.rejectedWord, c.rejected);
        } else {
            EXPECT_TRUE(r.ok());
        }
    }
}

TEST(Zeb2htmlOptionCheck, DirectoryAndStartPageFromTheOptions) {
    struct Case {
        const char* options;
        const char* htmlDir;
        const char* htmlStartName;
    };
    const Case cases[] = {
        {"", "ZEBHTML", "index"},
        {"-o out -no-javascript", "out", "index"},
        {"-o out -x", "out -x", "index"},
        {"-o \"D:\\my out\" -s src", "D:\\my out", "index"},
        {"-p start -p main", "ZEBHTML", "main"},
        // Found at the very beginning; "-o" with no value is not " -o ".
        {"-o dir", "dir", "index"},
        {"-v -o", "ZEBHTML", "index"},
        {"-no-sources -o a -no-sources -no-javascript", "a", "index"},
        {"-o a -p start -s s", "a", "start"},
        {"-o a -li 3", "a", "index"},
        {"-o a --disable-x", "a", "index"},
        {"-o a --enable-y", "a", "index"},
        {"-o \"a b\" -o c", "a b -o c", "index"},  // everything after the first " -o "
        // "-p" takes the next word whatever it is, and no word at the end.
        {"-p -i", "ZEBHTML", "-i"},
        {"-p", "ZEBHTML", "index"},
        {"-p first -p", "ZEBHTML", "first"},
        // A typed end word is still the user's word: "-p" takes it.
        {"-p END_OF_ZEB2HTML_OPTIONS", "ZEBHTML", "END_OF_ZEB2HTML_OPTIONS"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::string dir = "ZEBHTML", start = "index";
        EXPECT_TRUE(checkZeb2htmlOptions(c.options, dir, start).ok());
        EXPECT_EQ(dir, c.htmlDir);
        EXPECT_EQ(start, c.htmlStartName);
    }
}

TEST(Zeb2htmlOptionCheck, RejectionNamesTheFirstWordAndChangesNothing) {
    struct Case {
        const char* options;
        const char* rejected;
    };
    const Case cases[] = {
        {"-o out -p main -nsb", "-nsb"},
        {"-t 5 -i x", "-t"},
        {"-h", "-h"},
        {"--enable-help -i", "--enable-help"},
        {"-i", "-i"},
        // The word that "-p" takes does not end the scan, even the end word.
        {"-p END_OF_ZEB2HTML_OPTIONS -i", "-i"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        std::string dir = "kept", start = "kept too";
        const report::OptionCheck r = checkZeb2htmlOptions(c.options, dir, start);
        ASSERT_FALSE(r.ok());
        EXPECT_EQ(*r.rejectedWord, c.rejected);
        EXPECT_EQ(dir, "kept");
        EXPECT_EQ(start, "kept too");
    }
    // Past the end word nothing is checked, but the directory is still
    // taken from the whole text.
    std::string dir = "ZEBHTML", start = "index";
    EXPECT_TRUE(checkZeb2htmlOptions("END_OF_ZEB2HTML_OPTIONS -i -o d", dir, start).ok());
    EXPECT_EQ(dir, "d");
}

TEST(ZebpostArguments, DocumentedExamples) {
    struct Case {
        report::ArgumentInputs in;
        const char* zebpostArgs;
        const char* settingsLine;
    };
    const Case cases[] = {
        {{"", "75", 0, true, true, 0, ""}, "MON.sym MON.dat -p zebprofile.txt", "-T 75 MON.sym MON.dat -p zebprofile.txt"},
        {{"-opt1 arg", "90", 4, true, false, 5, "other.sym"},
         "-opt1 arg -fmcdc MON.sym -x zebreport.xml other.sym",
         "-opt1 arg -T 90 -fmcdc MON.sym -x zebreport.xml other.sym"},
        {{"", "75", 0, false, false, 4, ""}, "-t zebtiming.txt", "-T 75 -t zebtiming.txt"},
        {{"-opt1 arg", "80", 2, true, false, 4, "other.sym"},
         "-opt1 arg -fd MON.sym -t zebtiming.txt other.sym",
         "-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym"},
        {{"", "75", 0, false, false, 1, ""}, "-u zebuntested.txt", "-T 75 -u zebuntested.txt"},
        // Every view flag and output option.
        {{"", "1", 1, false, true, 3, ""}, "-fc MON.dat -u zebuntested.txt", "-T 1 -fc MON.dat -u zebuntested.txt"},
        {{"", "1", 3, false, false, 2, "a b"}, "-ff -p zebprofile.txt a b", "-T 1 -ff -p zebprofile.txt a b"},
        // An empty threshold text leaves two blanks after "-T".
        {{"", "", 2, false, false, 0, ""}, "-fd -p zebprofile.txt", "-T  -fd -p zebprofile.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.settingsLine);
        const report::ZebpostArguments a = report::assembleZebpostArguments(c.in);
        EXPECT_EQ(a.zebpostArgs, c.zebpostArgs);
        EXPECT_EQ(a.settingsLine, c.settingsLine);
    }
}

TEST(StatusLines, SymbolFile) {
    using Lines = std::optional<std::vector<std::string>>;
    EXPECT_EQ(report::symFileStatusText(std::nullopt), "N/A (not instrumented or other directory/name)");
    EXPECT_EQ(report::symFileStatusText(Lines{{"ZEB++ symbols 4.2", "Mon Mar  4 10:00:00 2024"}}),
              "MON.sym (Mon Mar  4 10:00:00 2024)");
    EXPECT_EQ(report::symFileStatusText(Lines{{"ZEB++"}}), "MON.sym ()");
    EXPECT_EQ(report::symFileStatusText(Lines{{"zeb++ symbols", "x"}}), "<invalid file>");
    EXPECT_EQ(report::symFileStatusText(Lines{{"ZEB+", "x"}}), "<invalid file>");
    EXPECT_EQ(report::symFileStatusText(Lines{std::vector<std::string>{}}), "<invalid file>");
}

TEST(StatusLines, DataFile) {
    EXPECT_EQ(report::datFileStatusText(std::nullopt), "N/A (no test runs or other directory/name)");
    EXPECT_EQ(report::datFileStatusText("ZEBDAT 4.2|Mon Mar  4 10:00:00 2024|rest of the data"),
              "MON.dat (Mon Mar  4 10:00:00 2024)");
    // No "|" within the first 50 characters: empty.
    EXPECT_EQ(report::datFileStatusText(std::string(50, 'x') + "|Mon Mar  4 10:00:00 2024"), "");
    EXPECT_EQ(report::datFileStatusText(""), "");
    // Short files and short stamps show what is there.
    EXPECT_EQ(report::datFileStatusText("v|Mon"), "MON.dat (Mon)");
    EXPECT_EQ(report::datFileStatusText("v|Mon Mar\r\nmore data"), "MON.dat (Mon Mar)");
    EXPECT_EQ(report::datFileStatusText("|"), "MON.dat ()");
    // A "|" late in the first 50 still shows the full 24 characters after it.
    EXPECT_EQ(report::datFileStatusText(std::string(49, 'x') + "|Mon Mar  4 10:00:00 2024tail"),
              "MON.dat (Mon Mar  4 10:00:00 2024)");
}

TEST(OptionText, LeadingDigits) {
    EXPECT_EQ(report::leadingDecimalValue("101"), 101u);
    EXPECT_EQ(report::leadingDecimalValue("42x7"), 42u);
    EXPECT_EQ(report::leadingDecimalValue(" 42"), 0u);
    EXPECT_EQ(report::leadingDecimalValue("-3"), 0u);
    EXPECT_EQ(report::leadingDecimalValue(""), 0u);
    EXPECT_EQ(report::leadingDecimalValue("4294967295"), 4294967295u);
    EXPECT_EQ(report::leadingDecimalValue("4294967296"), 4294967295u);
}

}  // namespace
