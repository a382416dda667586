// The untested listing rewritten for the IDE: both passes through the real
// file reading, on small listings written to a temporary file.
#include "report/listing.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class ListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The same tests run in more than one program at once (one per way
        // of scanning): each run has a directory of its own.
        dir_ = fs::temp_directory_path() /
               (std::string("vszeb-listing-") + info->name() + "-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
        path_ = (dir_ / "zebuntested.txt").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The rewrite of `listing` as it reaches the output stream.
    std::string rewrite(const std::string& listing) {
        {
            std::ofstream file(path_, std::ios::binary);
            file << listing;
        }
        return rewriteFile(path_);
    }

    static std::string rewriteFile(const std::string& path) {
        std::FILE* out = std::tmpfile();
        EXPECT_NE(out, nullptr);
        report::rewriteListingFile(path.c_str(), out);
        std::rewind(out);
        std::string text;
        char buf[4096];
        std::size_t got;
        while ((got = std::fread(buf, 1, sizeof buf, out)) > 0) text.append(buf, got);
        std::fclose(out);
        return text;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(ListingTest, WorkedExampleWithOneAndWithTwoSourceFiles) {
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : D:\\p\\a.c\n"
                      "   3   -    12 if (x)\n"),
              "MONITORED SOURCE FILE : D:\\p\\a.c\n"
              "D:\\p\\a.c(  12):   3   -    12 if (x)\n");

    // The wider second name widens the column for every row; an empty line
    // stands before every header but the first.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : D:\\p\\a.c\n"
                      "   3   -    12 if (x)\n"
                      "MONITORED SOURCE FILE : D:\\p\\long.c\n"
                      "   0   -     7 return;\n"),
              "MONITORED SOURCE FILE : D:\\p\\a.c\n"
              "D:\\p\\a.c   (  12):   3   -    12 if (x)\n"
              "\n"
              "MONITORED SOURCE FILE : D:\\p\\long.c\n"
              "D:\\p\\long.c(   7):   0   -     7 return;\n");
}

TEST_F(ListingTest, RealisticListingDropsHeadingsRulesAndEverythingAfterSummary) {
    const std::string listing =
        "ZEB++ untested code listing\n"
        "#line 1 \"before.c\"\n"
        "   9   -     9 not yet in a file\n"
        "MONITORED SOURCE FILE : src/main.c\n"
        "\n"
        "INSTRUMENTATION   HITS  LINE\n"
        "HITS/TRUE FALSE   LINE SOURCE\n"
        "=========================================\n"
        "-----------------------------------------\n"
        "   0   -    14     if (argc > 1)\n"
        "   0   0   -    20     while (n--)\n"
        "SUMMARY\n"
        "MONITORED SOURCE FILE : src/after.c\n"
        "   0   -    1 after\n";
    // The skipped "#line" before the first header is the widest line: 12.
    EXPECT_EQ(rewrite(listing),
              "MONITORED SOURCE FILE : src/main.c\n"
              "src/main.c  (  14):   0   -    14     if (argc > 1)\n"
              "src/main.c  (  20):   0   0   -    20     while (n--)\n");
}

TEST_F(ListingTest, HeaderNameKeepsInnerBlanksAndLosesOnlyOneLeadingBlank) {
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : D:\\my dir\\b.c\n"
                      "1 - 2 x\n"
                      "MONITORED SOURCE FILE :  two\n"
                      "1 - 3 y\n"
                      "MONITORED SOURCE FILE :\n"
                      "1 - 4 z\n"),
              "MONITORED SOURCE FILE : D:\\my dir\\b.c\n"
              "D:\\my dir\\b.c(   2):1 - 2 x\n"
              "\n"
              "MONITORED SOURCE FILE :  two\n"
              " two         (   3):1 - 3 y\n"
              "\n"
              "MONITORED SOURCE FILE :\n"
              "             (   4):1 - 4 z\n");
}

TEST_F(ListingTest, LineDirectivesNameTheFileOfLaterRows) {
    struct Case {
        const char* directive;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"#line 10 \"quoted.c\"", "quoted.c"},
        {"#line 10 plain.c", "plain.c"},
        {"#line 10 \"open.c", "open."},    // the last character goes whatever it is
        {"#line 10 \"", ""},               // a single quote leaves nothing
        {"#line 10", ""},                  // no name at all
        {"#line 10  two blanks", " two blanks"},
        {"   #line 10 indented.c", "indented.c"},  // counts in the rewrite, not for the width
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directive);
        const std::string out = rewrite(std::string("MONITORED SOURCE FILE : h.c\n") + c.directive +
                                        "\n"
                                        "0 - 5 row\n");
        const std::string header = "MONITORED SOURCE FILE : h.c\n";
        ASSERT_TRUE(out.starts_with(header)) << out;
        const std::string row = out.substr(header.size());
        const std::string expectedStart = c.name;
        EXPECT_TRUE(row.starts_with(expectedStart)) << row;
        EXPECT_TRUE(row.ends_with("(   5):0 - 5 row\n")) << row;
        // The name stands alone before the blanks of the column.
        EXPECT_EQ(row.substr(expectedStart.size(), row.find('(') - expectedStart.size()).find_first_not_of(' '),
                  std::string::npos)
            << row;
    }
}

TEST_F(ListingTest, WidthCountsLinesThatStartWithTheDirectiveOnly) {
    // "#line 7 \"abcdefgh.c\"" is 20 long: counted as 38, width 14.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : a.c\n"
                      "#line 7 \"abcdefgh.c\"\n"
                      "1 - 7 x\n"),
              "MONITORED SOURCE FILE : a.c\n"
              "abcdefgh.c    (   7):1 - 7 x\n");
    // Indented, it sets the name but leaves the width to the header (3).
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : a.c\n"
                      " #line 7 \"abcdefgh.c\"\n"
                      "1 - 7 x\n"),
              "MONITORED SOURCE FILE : a.c\n"
              "abcdefgh.c(   7):1 - 7 x\n");
}

TEST_F(ListingTest, LineNumberFollowsTheFirstLoneDash) {
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "- 5 x\n"          // first word lone dash: second word
                      "3 - 7 y\n"        // second word
                      "3 0 - 9 z\n"      // third word
                      "3 0 12 if (x)\n"  // no lone dash among the first three: dropped
                      "3 0 0 - 13\n"     // a dash as fourth word does not count
                      "-- 1 rule\n"
                      "=x - 1\n"
                      "3 -x 8 not a lone dash\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   5):- 5 x\n"
              "f(   7):3 - 7 y\n"
              "f(   9):3 0 - 9 z\n");
}

TEST_F(ListingTest, LineNumbersReadLikeStringToInteger) {
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "0 - 123456 wide\n"
                      "0 - 7 narrow\n"
                      "0 - 12abc trailing letters\n"
                      "0 - abc no digits\n"
                      "0 - -3 negative\n"
                      "0 - +42 plus\n"
                      "0 - 99999999999999999999 too large\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(123456):0 - 123456 wide\n"
              "f(   7):0 - 7 narrow\n"
              "f(  12):0 - 12abc trailing letters\n"
              "f(   0):0 - abc no digits\n"
              "f(  -3):0 - -3 negative\n"
              "f(  42):0 - +42 plus\n"
              "f(2147483647):0 - 99999999999999999999 too large\n");
}

TEST_F(ListingTest, MissingWordsKeepTheHoldersOfEarlierLines) {
    // "4 -" has no third word: the 12 of the row before is its line number.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 - 12 if (x)\n"
                      "4 -\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(  12):3 - 12 if (x)\n"
              "f(  12):4 -\n");
    // The words that a header or a "#line" skips land in the holders too.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 -\n"
                      "#line 40 \"u.h\"\n"
                      "-\n"),
              "MONITORED SOURCE FILE : f\n"
              "f       (   0):3 -\n"  // its third word is the header's "FILE"
              "u.h     (  40):-\n");
}

TEST_F(ListingTest, BlankOnlyLineTakesTheRuleOfThePreviousLine) {
    // After a data row: the earlier words, the blank line's own text.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 - 12 x\n"
                      "   \n"),
              "MONITORED SOURCE FILE : f\n"
              "f(  12):3 - 12 x\n"
              "f(  12):   \n");
    // After a "#line": the name becomes empty.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "#line 1 \"g\"\n"
                      "  \n"
                      "3 - 12 x\n"),
              "MONITORED SOURCE FILE : f\n"
              "     (  12):3 - 12 x\n");
    // After a header: the name becomes empty, an empty line and the blanks are written.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "MONITORED SOURCE FILE : g\n"
                      " \n"
                      "3 - 12 x\n"),
              "MONITORED SOURCE FILE : f\n"
              "\n"
              "MONITORED SOURCE FILE : g\n"
              "\n"
              " \n"
              " (  12):3 - 12 x\n");
    // After the first header, which step is not the main loop's.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "  \n"
                      "3 - 12 x\n"),
              "MONITORED SOURCE FILE : f\n"
              "\n"
              "  \n"
              " (  12):3 - 12 x\n");
    // After a row that begins with a lone "-": written with its number.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "- 5 x\n"
                      "\t\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   5):- 5 x\n"
              "f(   5):\t\n");
    // After a row without a lone "-", which refilled the holders: dropped,
    // although the row before that had one.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 - 5 a\n"
                      "3 0 12 if (x)\n"
                      "   \n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   5):3 - 5 a\n");
    // Before the first header: skipped like everything there.
    EXPECT_EQ(rewrite("   \n"
                      "MONITORED SOURCE FILE : f\n"
                      "3 - 5 a\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   5):3 - 5 a\n");
    // After rule lines of either kind: dropped.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 - 5 a\n"
                      "=====\n"
                      "  \n"
                      "-----\n"
                      "  \n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   5):3 - 5 a\n");
    // After a dropped line, or after an empty line: dropped too.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "3 - 12 x\n"
                      "HITS/TRUE\n"
                      "   \n"
                      "3 - 13 y\n"
                      "\n"
                      "   \n"),
              "MONITORED SOURCE FILE : f\n"
              "f(  12):3 - 12 x\n"
              "f(  13):3 - 13 y\n");
}

TEST_F(ListingTest, ReadingEndsAtALineLongerThan999Characters) {
    const std::string row999 = "1 - 2 " + std::string(993, 'x');
    ASSERT_EQ(row999.size(), 999u);
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n" + row999 + "\n" + row999),
              "MONITORED SOURCE FILE : f\n"
              "f(   2):" + row999 + "\n"
              "f(   2):" + row999 + "\n");

    const std::string row1000 = row999 + "x";
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n"
                      "1 - 3 before\n" +
                      row1000 + "\n"
                      "1 - 4 after\n"),
              "MONITORED SOURCE FILE : f\n"
              "f(   3):1 - 3 before\n");
    // In the first pass too: a header after the long line is not measured,
    // and in the rewrite it is never reached.
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n" + row1000 +
                      "\n"
                      "MONITORED SOURCE FILE : a much longer name\n"),
              "MONITORED SOURCE FILE : f\n");
    // A long line before any header ends the listing before it starts.
    EXPECT_EQ(rewrite(row1000 + "\nMONITORED SOURCE FILE : f\n1 - 3 x\n"), "");
}

TEST_F(ListingTest, WordsAnywhereInALongLineCount) {
    // Lines are split 64 bytes at a time: first words on either side of
    // that mark, on it, and a line that ends right at it.
    const std::string blanks60(60, ' ');
    const std::string row64 = "1 - 9 " + std::string(58, 'x');
    ASSERT_EQ(row64.size(), 64u);
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n" +
                      blanks60 + "3 - 12 x\n" +            // the number past byte 64
                      std::string(70, ' ') + "- 13\n" +    // every word past it
                      blanks60 + "0 0\t-  14\n" +          // the dash on it
                      row64 + "\n" +
                      std::string(63, 'y') + "z - 15\n" +  // a first word across it: no lone dash first
                      "4 -\n"),                            // the holders of the long line before
              "MONITORED SOURCE FILE : f\n"
              "f(  12):" + blanks60 + "3 - 12 x\n"
              "f(  13):" + std::string(70, ' ') + "- 13\n"
              "f(  14):" + blanks60 + "0 0\t-  14\n"
              "f(   9):" + row64 + "\n"
              "f(  15):" + std::string(63, 'y') + "z - 15\n"
              "f(  15):4 -\n");
    // A header whose name starts past byte 64 keeps it whole.
    const std::string name = std::string(50, 'n') + " end.c";
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE :" + std::string(20, ' ') + name + "\n1 - 2 x\n"),
              "MONITORED SOURCE FILE :" + std::string(20, ' ') + name + "\n" + std::string(19, ' ') + name +
                  "(   2):1 - 2 x\n");
}

TEST_F(ListingTest, FirstPassFindsWhatLiesFarIntoTheListing) {
    // The first pass steps over most lines in pieces of 64 bytes: headers
    // and directives far in, at every place of those pieces, still count,
    // and so does a long line that ends the reading.
    std::string rows;
    for (int i = 0; i < 20000; ++i) rows += "   0   -   " + std::to_string(i % 900 + 1) + std::string(static_cast<std::size_t>(i % 53), 'r') + "\n";
    const std::string wide = "MONITORED SOURCE FILE : " + std::string(40, 'w') + ".c";
    // 72 characters, counted as 90: the width is 66.
    const std::string directive = "#line 3 \"" + std::string(60, 'd') + ".h\"";
    const std::string firstRow = "a.c" + std::string(63, ' ') + "(   1):   0   -   1\n";
    for (std::size_t shift = 0; shift < 64; ++shift) {
        SCOPED_TRACE(shift);
        const std::string out = rewrite("MONITORED SOURCE FILE : a.c\n" + std::string(shift, 'x') + "\n" +
                                        rows.substr(0, rows.find('\n', 1000) + 1) + directive + "\n" + rows.substr(0, 200));
        EXPECT_EQ(out.substr(out.find('\n') + 1, firstRow.size()), firstRow);
    }
    {
        // Across read blocks.
        const std::string out = rewrite("MONITORED SOURCE FILE : a.c\n" + rows + wide + "\n" + rows + directive + "\n" + rows);
        EXPECT_EQ(out.substr(out.find('\n') + 1, firstRow.size()), firstRow);
        EXPECT_NE(out.find(std::string(60, 'd') + ".h    (   1):"), std::string::npos);
    }
    {
        // A line of 1000 characters far in, more lines after it: what
        // follows it is never read, in either pass.
        const std::string out = rewrite("MONITORED SOURCE FILE : a.c\n" + rows + std::string(1000, 'L') + "\n" + rows + wide +
                                        "\n" + rows);
        EXPECT_EQ(out.find(wide), std::string::npos);
        EXPECT_EQ(out.substr(out.find('\n') + 1, 10), "a.c(   1):");
    }
}

TEST_F(ListingTest, ListingsWithoutHeaderOrContentWriteNothing) {
    EXPECT_EQ(rewrite(""), "");
    EXPECT_EQ(rewrite("\n\n"), "");
    EXPECT_EQ(rewrite("   1   -    12 if (x)\nSUMMARY\n"), "");
    // A "#line" gives a width, but the rewrite never finds a header.
    EXPECT_EQ(rewrite("#line 1 \"a.c\"\n   1   -    12 if (x)\n"), "");
    // "MONITORED" must start the line to count for the width.
    EXPECT_EQ(rewrite(" MONITORED SOURCE FILE : a.c\n1 - 2 x\n"), "");
    EXPECT_EQ(rewriteFile((dir_ / "no-such-file.txt").string()), "");
}

TEST_F(ListingTest, LastLineWithoutNewlineAndMissingSummaryEndCleanly) {
    EXPECT_EQ(rewrite("MONITORED SOURCE FILE : f\n1 - 2 x"),
              "MONITORED SOURCE FILE : f\n"
              "f(   2):1 - 2 x\n");
}

TEST_F(ListingTest, LargeListingStreamsAcrossReadBlocks) {
    // Far more than one read block and one write block, with rows that
    // straddle every block boundary somewhere. Every other row has too few
    // words for a line number of its own and takes the one of the row
    // before, also where a block boundary lies between the two.
    std::string listing = "MONITORED SOURCE FILE : big.c\n";
    std::string expected = listing;
    for (int i = 1; i <= 60000; ++i) {
        const std::string row = "   0   -   " + std::to_string(i) + " " + std::string(static_cast<std::size_t>(i % 37), 'y');
        const std::string shortRow = "   " + std::to_string(i % 10) + " -";
        char number[16];
        std::snprintf(number, sizeof number, "%4d", i);
        listing += row + "\n";
        expected += std::string("big.c(") + number + "):" + row + "\n";
        if (i % 2 == 0) {
            listing += shortRow + "\n";
            expected += std::string("big.c(") + number + "):" + shortRow + "\n";
        }
    }
    listing += "SUMMARY\n";
    EXPECT_EQ(rewrite(listing), expected);
}

}  // namespace
