#include "report/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "report/reportoptions.h"

namespace report {
// Readable failure messages for whole-settings comparisons.
void PrintTo(const ReportSettings& s, std::ostream* os) {
    *os << "{options '" << s.zebpostOptions << "', threshold '" << s.thresholdText << "' " << s.threshold
        << ", files '" << s.symDatFiles << "', type " << s.reportType << ", view " << s.coverageView
        << ", invoke " << s.invokeViewer << ", viewer '" << s.viewerPath << "', zeb2html '" << s.zeb2htmlOptions
        << "'}";
}
}  // namespace report

namespace {

using namespace std::string_literals;
using report::formatSettings;
using report::parseSettings;
using report::ReportSettings;

const ReportSettings kDefaults{};

TEST(SettingsFile, WritesTheDocumentedExamplesByteForByte) {
    EXPECT_EQ(formatSettings("-T 75 MON.sym MON.dat -p zebprofile.txt", 0, 0, 1, "", ""),
              "-T 75 MON.sym MON.dat -p zebprofile.txt\n001\n\n");
    EXPECT_EQ(formatSettings("-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym", 4, 2, 0,
                             "D:\\Tools\\view.exe", "-o out"),
              "-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym\n420D:\\Tools\\view.exe\n-o out\n");
    // Any non-zero viewer flag is stored as "1".
    EXPECT_EQ(formatSettings("-T 5 -u zebuntested.txt", 1, 3, 7, "", ""), "-T 5 -u zebuntested.txt\n131\n\n");
}

TEST(SettingsFile, ReadsWhatWasWritten) {
    struct Case {
        std::string content;
        ReportSettings expected;
    };
    const Case cases[] = {
        {"-T 75 MON.sym MON.dat -p zebprofile.txt\n001\n\n", kDefaults},
        // Windows line ends.
        {"-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym\r\n420D:\\Tools\\view.exe\r\n-o out\r\n",
         {"-opt1 arg", "80", 80, "other.sym", 4, 2, 0, "D:\\Tools\\view.exe", "-o out"}},
        // Inner blanks of the options collapse; the extra files are the rest
        // of the line; a viewer path with blanks and line 3 come back whole.
        {formatSettings("-x1  -y2 -T 42 -ff MON.dat -u zebuntested.txt a.sym  b.dat", 3, 3, 0,
                        " /opt/view ers/less", "  -o \"D:\\my out\" -s src "),
         {"-x1 -y2", "42", 42, "a.sym  b.dat", 3, 3, 0, " /opt/view ers/less", "  -o \"D:\\my out\" -s src "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(parseSettings(c.content), c.expected);
    }
}

TEST(SettingsFile, LineOneWordRules) {
    struct Case {
        const char* line;
        const char* options;
        const char* thresholdText;
        unsigned threshold;
        const char* symDatFiles;
    };
    const Case cases[] = {
        // A "-T" among the options ends them; the word after it is the threshold.
        {"-a -T -b -T 80 -p zebprofile.txt", "-a", "-b", 0, ""},
        // An empty threshold was written as two blanks: the view flag is taken.
        {"-T  -fd MON.sym -t zebtiming.txt", "", "-fd", 0, ""},
        {"-T 12abc -x zebreport.xml more", "", "12abc", 12, "more"},
        // The first listing name after the threshold starts the extra files.
        {"-T 1 -u zebuntested.txt zebreport.xml", "", "1", 1, "zebreport.xml"},
        {"-T 99999999999999999999 -p zebprofile.txt", "", "99999999999999999999", 4294967295u, ""},
        // Hand-edited lines: no "-T" at all brings back nothing of line 1.
        {"-a -b -p zebprofile.txt extra", "", "75", 75, ""},
        // "-T" last: the threshold keeps its default.
        {"-a -T", "-a", "75", 75, ""},
        // No listing name after the threshold: no extra files.
        {"-T 60 MON.sym other.sym", "", "60", 60, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ReportSettings s = parseSettings(std::string(c.line) + "\n000\n\n");
        EXPECT_EQ(s.zebpostOptions, c.options);
        EXPECT_EQ(s.thresholdText, c.thresholdText);
        EXPECT_EQ(s.threshold, c.threshold);
        EXPECT_EQ(s.symDatFiles, c.symDatFiles);
    }
}

TEST(SettingsFile, LineTwoDigitsAndViewerPath) {
    struct Case {
        const char* line;
        int reportType, coverageView, invokeViewer;
        const char* viewerPath;
    };
    const Case cases[] = {
        {"540C:\\Program Files\\My Viewer\\v.exe", 5, 4, 0, "C:\\Program Files\\My Viewer\\v.exe"},
        // Non-digits read as 0.
        {"ab?", 0, 0, 0, ""},
        // Digits the writer never writes fall back to the defaults.
        {"699", 0, 0, 1, ""},
        // A short line keeps the defaults of what it lacks.
        {"3", 3, 0, 1, ""},
        {"24", 2, 4, 1, ""},
        {"", 0, 0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const ReportSettings s = parseSettings("-T 75 -p zebprofile.txt\n" + std::string(c.line) + "\n\n");
        EXPECT_EQ(s.reportType, c.reportType);
        EXPECT_EQ(s.coverageView, c.coverageView);
        EXPECT_EQ(s.invokeViewer, c.invokeViewer);
        EXPECT_EQ(s.viewerPath, c.viewerPath);
    }
}

TEST(SettingsFile, MissingLinesKeepTheirDefaults) {
    EXPECT_EQ(parseSettings(""), kDefaults);
    EXPECT_EQ(parseSettings("\n"), kDefaults);
    EXPECT_EQ(parseSettings("-q -T 30 -p zebprofile.txt"),  // no line end at all
              (ReportSettings{"-q", "30", 30, "", 0, 0, 1, "", ""}));
    EXPECT_EQ(parseSettings("-T 30 -p zebprofile.txt\n500viewer\n"),
              (ReportSettings{"", "30", 30, "", 5, 0, 0, "viewer", ""}));
}

TEST(SettingsFile, LongLinesAreReadWholeAndDoNotSpillIntoTheNext) {
    // 1200 option characters, then the threshold: all of line 1 is read.
    const std::string options = "-" + std::string(1199, 'a');
    EXPECT_EQ(parseSettings(options + " -T 40 -p zebprofile.txt\n210viewer\n-o out\n"),
              (ReportSettings{options, "40", 40, "", 2, 1, 0, "viewer", "-o out"}));

    const ReportSettings b = parseSettings("-T 1 -p zebprofile.txt\n201" + std::string(2000, 'v') + "\nnext\n");
    EXPECT_EQ(b.viewerPath, std::string(2000, 'v'));
    EXPECT_EQ(b.zeb2htmlOptions, "next");

    // Exactly 999 characters (the most that earlier versions read) and a
    // Windows line end.
    const ReportSettings c = parseSettings("-T 1 -p zebprofile.txt\r\n201" + std::string(996, 'w') + "\r\nx\r\n");
    EXPECT_EQ(c.viewerPath, std::string(996, 'w'));
    EXPECT_EQ(c.zeb2htmlOptions, "x");
}

// What OK stores, from an empty text to 5,000 characters in every field that
// the user types, comes back whole at the next start.
TEST(SettingsFile, RoundTripOfEveryLengthUpTo5000Characters) {
    auto words = [](std::size_t length, char letter) {
        std::string text;
        while (text.size() < length) text += (text.empty() ? "-" : " -") + std::string(6, letter);
        text.resize(length);
        // The fields are stored trimmed; a cut word must not end in a blank or "-".
        while (!text.empty() && (text.back() == ' ' || text.back() == '-')) text.back() = letter;
        return text;
    };
    std::vector<std::size_t> lengths = {0, 1, 2, 995, 996, 997, 998, 999, 1000, 1001, 1200, 4500, 4999, 5000};
    for (std::size_t n = 3; n < 5000; n += 97) lengths.push_back(n);
    for (const std::size_t n : lengths) {
        SCOPED_TRACE("length " + std::to_string(n));
        const std::string zebpostOptions = words(n, 'o');
        const std::string symDatFiles = words(n, 's');
        const std::string viewerPath = std::string(n, 'v');
        const std::string zeb2htmlOptions = words(n, 'h');
        const report::ZebpostArguments args = report::assembleZebpostArguments({
            .zebpostOptions = zebpostOptions,
            .thresholdText = "40",
            .coverageView = 2,
            .symFileExists = true,
            .datFileExists = true,
            .reportType = 4,
            .symDatFiles = symDatFiles,
        });
        const std::string written = formatSettings(args.settingsLine, 4, 2, 0, viewerPath, zeb2htmlOptions);
        EXPECT_EQ(parseSettings(written),
                  (ReportSettings{zebpostOptions, "40", 40, symDatFiles, 4, 2, 0, viewerPath, zeb2htmlOptions}));
    }
}

// However a line break reached a field, the file keeps three lines and each
// field its own: the next start does not see a pasted second line as the
// viewer settings.
TEST(SettingsFile, LineBreaksInsideAFieldDoNotSplitItsLine) {
    const std::string written =
        formatSettings("first\necho X -T 40 -p zebprofile.txt", 2, 1, 1, "/opt/view\r\ner", "-o\nout\r");
    EXPECT_EQ(written, "first echo X -T 40 -p zebprofile.txt\n211/opt/view er\n-o out\n");
    EXPECT_EQ(parseSettings(written), (ReportSettings{"first echo X", "40", 40, "", 2, 1, 1, "/opt/view er", "-o out"}));
}

TEST(SettingsFile, BinaryAndNulBytesEndInADefinedState) {
    // A NUL ends the line's text as it would a C string.
    EXPECT_EQ(parseSettings("-o1 -T 50\0 -p zebprofile.txt junk\n301vi\0ew\n-z\0\n"s),
              (ReportSettings{"-o1", "50", 50, "", 3, 0, 1, "vi", "-z"}));
    // Bytes above 127 are not white space; a line that starts with NUL is empty.
    EXPECT_EQ(parseSettings("\xff\xfe -T \xa0\x85 -x zebreport.xml \x01\x02\n\0\x80\x90\n\xc3\xa9\n"s),
              (ReportSettings{"\xff\xfe", "\xa0\x85", 0, "\x01\x02", 0, 0, 1, "", "\xc3\xa9"}));
}

TEST(SettingsFile, ReadLinesStopsAtTheLimitAndAtTheEnd) {
    std::istringstream in("a\r\nb\n\nlast-without-end");
    EXPECT_EQ(report::readLines(in, 10, 999), (std::vector<std::string>{"a", "b", "", "last-without-end"}));
    std::istringstream in2("1\n2\n3\n4\n");
    EXPECT_EQ(report::readLines(in2, 2, 999), (std::vector<std::string>{"1", "2"}));
    std::istringstream in3("abcdef\nxy\n");
    EXPECT_EQ(report::readLines(in3, 3, 3), (std::vector<std::string>{"abc", "xy"}));
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vszeb-report-" + std::to_string(std::random_device{}()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(SettingsFileOnDisk, MissingFileGivesDefaultsAndWrittenFileReadsBack) {
    EXPECT_EQ(report::readSettingsFile(path("Demo.zeb")), kDefaults);
    // A directory in the file's place is no settings file (and reading it
    // fails midway on some systems).
    std::filesystem::create_directory(dir / "Dir.zeb");
    EXPECT_EQ(report::readSettingsFile(path("Dir.zeb")), kDefaults);
    EXPECT_FALSE(report::readFileLines(path("Dir.zeb"), 2, 99).has_value());

    const std::string content = formatSettings("-k -T 64 -fc -p zebprofile.txt", 2, 1, 1, "my viewer", "-p main");
    ASSERT_TRUE(report::writeSettingsFile(path("Demo.zeb"), content));
    EXPECT_EQ(report::readSettingsFile(path("Demo.zeb")),
              (ReportSettings{"-k", "64", 64, "", 2, 1, 1, "my viewer", "-p main"}));

    // Rewriting replaces the whole content, also when it gets shorter.
    ASSERT_TRUE(report::writeSettingsFile(path("Demo.zeb"), formatSettings("-T 1 -p zebprofile.txt", 0, 0, 0, "", "")));
    std::ifstream in(path("Demo.zeb"), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "-T 1 -p zebprofile.txt\n000\n\n");

    EXPECT_FALSE(report::writeSettingsFile(path("no-such-dir/Demo.zeb"), "x\n"));

    // Lines of 5,000 characters come back from the disk whole.
    const std::string longOptions = "-" + std::string(4999, 'k');
    ASSERT_TRUE(report::writeSettingsFile(
        path("Long.zeb"), formatSettings(longOptions + " -T 40 -p zebprofile.txt " + std::string(5000, 'f'), 2, 0, 0,
                                         std::string(5000, 'v'), std::string(5000, 'h'))));
    EXPECT_EQ(report::readSettingsFile(path("Long.zeb")),
              (ReportSettings{longOptions, "40", 40, std::string(5000, 'f'), 2, 0, 0, std::string(5000, 'v'),
                              std::string(5000, 'h')}));
}

}  // namespace
