#include "report/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using report::formatSettings;
using report::parseSettings;
using report::ReportSettings;

void expectDefaults(const ReportSettings& s) {
    EXPECT_EQ(s.zebpostOptions, "");
    EXPECT_EQ(s.thresholdText, "75");
    EXPECT_EQ(s.threshold, 75u);
    EXPECT_EQ(s.symDatFiles, "");
    EXPECT_EQ(s.reportType, 0);
    EXPECT_EQ(s.coverageView, 0);
    EXPECT_EQ(s.invokeViewer, 1);
    EXPECT_EQ(s.viewerPath, "");
    EXPECT_EQ(s.zeb2htmlOptions, "");
}

TEST(SettingsFile, WritesTheDocumentedExamplesByteForByte) {
    EXPECT_EQ(formatSettings("-T 75 MON.sym MON.dat -p zebprofile.txt", 0, 0, 1, "", ""),
              "-T 75 MON.sym MON.dat -p zebprofile.txt\n001\n\n");
    EXPECT_EQ(formatSettings("-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym", 4, 2, 0,
                             "D:\\Tools\\view.exe", "-o out"),
              "-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym\n420D:\\Tools\\view.exe\n-o out\n");
    // Any non-zero viewer flag is stored as "1".
    EXPECT_EQ(formatSettings("-T 5 -u zebuntested.txt", 1, 3, 7, "", ""), "-T 5 -u zebuntested.txt\n131\n\n");
}

TEST(SettingsFile, ReadsTheDocumentedExamples) {
    const ReportSettings a = parseSettings("-T 75 MON.sym MON.dat -p zebprofile.txt\n001\n\n");
    EXPECT_EQ(a.zebpostOptions, "");
    EXPECT_EQ(a.thresholdText, "75");
    EXPECT_EQ(a.threshold, 75u);
    EXPECT_EQ(a.symDatFiles, "");
    EXPECT_EQ(a.reportType, 0);
    EXPECT_EQ(a.coverageView, 0);
    EXPECT_EQ(a.invokeViewer, 1);
    EXPECT_EQ(a.viewerPath, "");
    EXPECT_EQ(a.zeb2htmlOptions, "");

    const ReportSettings b = parseSettings(
        "-opt1 arg -T 80 -fd MON.sym -t zebtiming.txt other.sym\r\n420D:\\Tools\\view.exe\r\n-o out\r\n");
    EXPECT_EQ(b.zebpostOptions, "-opt1 arg");
    EXPECT_EQ(b.thresholdText, "80");
    EXPECT_EQ(b.threshold, 80u);
    EXPECT_EQ(b.symDatFiles, "other.sym");
    EXPECT_EQ(b.reportType, 4);
    EXPECT_EQ(b.coverageView, 2);
    EXPECT_EQ(b.invokeViewer, 0);
    EXPECT_EQ(b.viewerPath, "D:\\Tools\\view.exe");
    EXPECT_EQ(b.zeb2htmlOptions, "-o out");
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
        // Runs of blanks between options come back as single blanks; the
        // extra files keep theirs (they are the rest of the line).
        {"-a   -b\t-c -T 80 -p zebprofile.txt  x.sym   y.dat  ", "-a -b -c", "80", 80, "x.sym   y.dat"},
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
        {"", "", "75", 75, ""},
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
        {"101 leading blank kept ", 1, 0, 1, " leading blank kept "},
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

TEST(SettingsFile, RoundTripKeepsEveryField) {
    const std::string text = formatSettings("-x1  -y2 -T 42 -ff MON.dat -u zebuntested.txt a.sym  b.dat", 3, 3, 0,
                                            "/opt/view ers/bin/less", "-o \"D:\\my out\" -s src");
    const ReportSettings s = parseSettings(text);
    EXPECT_EQ(s.zebpostOptions, "-x1 -y2");
    EXPECT_EQ(s.thresholdText, "42");
    EXPECT_EQ(s.threshold, 42u);
    EXPECT_EQ(s.symDatFiles, "a.sym  b.dat");
    EXPECT_EQ(s.reportType, 3);
    EXPECT_EQ(s.coverageView, 3);
    EXPECT_EQ(s.invokeViewer, 0);
    EXPECT_EQ(s.viewerPath, "/opt/view ers/bin/less");
    EXPECT_EQ(s.zeb2htmlOptions, "-o \"D:\\my out\" -s src");
}

TEST(SettingsFile, MissingLinesKeepTheirDefaults) {
    expectDefaults(parseSettings(""));
    expectDefaults(parseSettings("\n"));

    const ReportSettings oneLine = parseSettings("-q -T 30 -p zebprofile.txt");  // no line end at all
    EXPECT_EQ(oneLine.zebpostOptions, "-q");
    EXPECT_EQ(oneLine.thresholdText, "30");
    EXPECT_EQ(oneLine.reportType, 0);
    EXPECT_EQ(oneLine.invokeViewer, 1);
    EXPECT_EQ(oneLine.zeb2htmlOptions, "");

    const ReportSettings twoLines = parseSettings("-T 30 -p zebprofile.txt\n500viewer\n");
    EXPECT_EQ(twoLines.reportType, 5);
    EXPECT_EQ(twoLines.viewerPath, "viewer");
    EXPECT_EQ(twoLines.zeb2htmlOptions, "");
}

TEST(SettingsFile, LineThreeIsTakenUnchanged) {
    EXPECT_EQ(parseSettings("-T 1 -p zebprofile.txt\n001\n  -o  out \n").zeb2htmlOptions, "  -o  out ");
}

TEST(SettingsFile, OverlongLinesAreCutAndDoNotSpillIntoTheNext) {
    // 1200 option characters, then the threshold: the cut line has no "-T".
    const std::string longLine1 = "-" + std::string(1199, 'a') + " -T 80 -p zebprofile.txt";
    const ReportSettings a = parseSettings(longLine1 + "\n210viewer\n-o out\n");
    EXPECT_EQ(a.zebpostOptions, "");
    EXPECT_EQ(a.thresholdText, "75");
    EXPECT_EQ(a.reportType, 2);
    EXPECT_EQ(a.viewerPath, "viewer");
    EXPECT_EQ(a.zeb2htmlOptions, "-o out");

    // Line 2 keeps 999 characters: three digits and 996 of the path.
    const ReportSettings b = parseSettings("-T 1 -p zebprofile.txt\n201" + std::string(2000, 'v') + "\nnext\n");
    EXPECT_EQ(b.viewerPath, std::string(996, 'v'));
    EXPECT_EQ(b.zeb2htmlOptions, "next");

    // Exactly 999 characters and a Windows line end are read whole.
    const ReportSettings c = parseSettings("-T 1 -p zebprofile.txt\r\n201" + std::string(996, 'w') + "\r\nx\r\n");
    EXPECT_EQ(c.viewerPath, std::string(996, 'w'));
    EXPECT_EQ(c.zeb2htmlOptions, "x");
}

TEST(SettingsFile, BinaryAndNulBytesEndInADefinedState) {
    using namespace std::string_literals;
    // A NUL ends the line's text as it would a C string.
    const ReportSettings a = parseSettings("-o1 -T 50\0 -p zebprofile.txt junk\n301vi\0ew\n-z\0\n"s);
    EXPECT_EQ(a.zebpostOptions, "-o1");
    EXPECT_EQ(a.thresholdText, "50");
    EXPECT_EQ(a.symDatFiles, "");
    EXPECT_EQ(a.reportType, 3);
    EXPECT_EQ(a.viewerPath, "vi");
    EXPECT_EQ(a.zeb2htmlOptions, "-z");

    // Bytes above 127 are not white space; a line that starts with NUL is empty.
    const ReportSettings b = parseSettings("\xff\xfe -T \xa0\x85 -x zebreport.xml \x01\x02\n\0\x80\x90\n\xc3\xa9\n"s);
    EXPECT_EQ(b.zebpostOptions, "\xff\xfe");
    EXPECT_EQ(b.thresholdText, "\xa0\x85");
    EXPECT_EQ(b.threshold, 0u);
    EXPECT_EQ(b.symDatFiles, "\x01\x02");
    EXPECT_EQ(b.reportType, 0);
    EXPECT_EQ(b.invokeViewer, 1);
    EXPECT_EQ(b.zeb2htmlOptions, "\xc3\xa9");
}

TEST(SettingsFile, ReadLinesStopsAtTheLimitAndAtTheEnd) {
    std::istringstream in("a\r\nb\n\nlast-without-end");
    const auto lines = report::readLines(in, 10, 999);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "a");
    EXPECT_EQ(lines[1], "b");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "last-without-end");

    std::istringstream in2("1\n2\n3\n4\n");
    EXPECT_EQ(report::readLines(in2, 2, 999), (std::vector<std::string>{"1", "2"}));
    std::istringstream in3("abcdef\nxy\n");
    EXPECT_EQ(report::readLines(in3, 3, 3), (std::vector<std::string>{"abc", "xy"}));
}

class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("vszeb-report-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::filesystem::path dir;
};

TEST_F(SettingsFileOnDisk, MissingFileGivesDefaultsAndWrittenFileReadsBack) {
    expectDefaults(report::readSettingsFile(path("Demo.zeb")));
    // A directory in the file's place is no settings file (and reading it fails midway on some systems).
    std::filesystem::create_directory(dir / "Dir.zeb");
    expectDefaults(report::readSettingsFile(path("Dir.zeb")));
    EXPECT_FALSE(report::readFileLines(path("Dir.zeb"), 2, 99).has_value());

    const std::string content = formatSettings("-k -T 64 -fc -p zebprofile.txt", 2, 1, 1, "my viewer", "-p main");
    ASSERT_TRUE(report::writeSettingsFile(path("Demo.zeb"), content));
    const ReportSettings s = report::readSettingsFile(path("Demo.zeb"));
    EXPECT_EQ(s.zebpostOptions, "-k");
    EXPECT_EQ(s.thresholdText, "64");
    EXPECT_EQ(s.reportType, 2);
    EXPECT_EQ(s.coverageView, 1);
    EXPECT_EQ(s.viewerPath, "my viewer");
    EXPECT_EQ(s.zeb2htmlOptions, "-p main");

    // Rewriting replaces the whole content, also when it gets shorter.
    ASSERT_TRUE(report::writeSettingsFile(path("Demo.zeb"), formatSettings("-T 1 -p zebprofile.txt", 0, 0, 0, "", "")));
    std::ifstream in(path("Demo.zeb"), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "-T 1 -p zebprofile.txt\n000\n\n");
}

TEST_F(SettingsFileOnDisk, UnwritablePlaceReportsFailure) {
    EXPECT_FALSE(report::writeSettingsFile(path("no-such-dir/Demo.zeb"), "x\n"));
}

}  // namespace
