// The commands and lines of the report run.
#include "app/reportrun.h"

#include <gtest/gtest.h>

#include <string>

#include "sys/files.h"

namespace {

// The texts use the platform's separator where the tool home or the HTML
// directory is joined with a name.
std::string withSep(std::string text) {
    for (char& c : text) {
        if (c == '|') c = sys::pathSeparator;
    }
    return text;
}

TEST(ReportRunTexts, HookUnderTheToolHome) {
    EXPECT_EQ(app::reportHookPath(withSep("C:|zeb")), withSep("C:|zeb|Vs_integ|report_hook.bat"));
    EXPECT_EQ(app::hookCommand(withSep("C:|zeb"), "proj"), withSep("C:|zeb|Vs_integ|report_hook.bat \"proj\""));
    // An unset tool home roots the hook at the top of the drive.
    EXPECT_EQ(app::hookCommand("", "p"), withSep("|Vs_integ|report_hook.bat \"p\""));
}

TEST(ReportRunTexts, HookUnderAToolHomeWithABlankIsQuoted) {
    EXPECT_EQ(app::hookCommand(withSep("C:|Program Files|zeb"), "my proj"),
              withSep("\"C:|Program Files|zeb|Vs_integ|report_hook.bat\" \"my proj\""));
    EXPECT_EQ(app::hookCommand(withSep("C:|R&D"), "p"), withSep("\"C:|R&D|Vs_integ|report_hook.bat\" \"p\""));
    EXPECT_EQ(app::hookCommand(withSep("C:|zeb\" & x & \""), "p"), std::nullopt);
    EXPECT_EQ(app::hookCommand(withSep("C:|zeb"), "De\"mo&&x"), std::nullopt);
}

TEST(ReportRunTexts, ZebpostAndZeb2htmlCommands) {
    EXPECT_EQ(app::zebpostCommand("MON.sym MON.dat -p zebprofile.txt"), "zebpost MON.sym MON.dat -p zebprofile.txt");
    EXPECT_EQ(app::withErrorsJoined("zebpost -u zebuntested.txt"), "zebpost -u zebuntested.txt 2>&1");

    struct Case {
        const char* options;
        bool viewer;
        const char* command;
    };
    const Case cases[] = {
        {"-o out", false, "zeb2html -i zebprofile.txt -t 75 -o out -nsb"},
        {"-o out", true, "zeb2html -i zebprofile.txt -t 75 -o out"},
        // Empty options: two blanks before " -nsb", a trailing blank with the viewer.
        {"", false, "zeb2html -i zebprofile.txt -t 75  -nsb"},
        {"", true, "zeb2html -i zebprofile.txt -t 75 "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::zeb2htmlCommand("zebprofile.txt", "75", c.options, c.viewer), c.command);
    }
}

TEST(ReportRunTexts, LinesAfterTheReport) {
    EXPECT_EQ(app::startBrowsingLine("ZEBHTML", "index"), withSep("Start browsing from the file 'ZEBHTML|index.html'"));
    EXPECT_EQ(app::startFromFileLine("zebtiming.txt"), "Start the report from the file zebtiming.txt");
    EXPECT_EQ(app::startingReportText("", "zebtiming.txt"), "Starting the report zebtiming.txt\n");
    EXPECT_EQ(app::startingReportText("C:\\Program Files\\v.exe", "zebreport.xml"),
              "Starting the report C:\\Program Files\\v.exe zebreport.xml\n");
    EXPECT_EQ(app::consoleListingCommand("zebuntested.txt"), "type zebuntested.txt && pause");
}

TEST(ReportRunTexts, UntestedReportLineByIdeKind) {
    EXPECT_EQ(app::untestedReportLine(app::kVisualStudio), "Adjusting the report to Output...");
    EXPECT_EQ(app::untestedReportLine(app::kCodeWarrior), "Outputting the report to stdout");
    EXPECT_EQ(app::untestedReportLine(app::kCarbide), "Adjusting the report to Console...");
    EXPECT_EQ(app::untestedReportLine(app::kEclipse), "Adjusting the report to Console...");
    EXPECT_EQ(app::untestedReportLine(app::kUVision), "Adjusting the report to Build Output...");
    for (int kind : {1, 3, 5, 7, 9, -1, 10}) EXPECT_EQ(app::untestedReportLine(kind), "") << kind;
}

TEST(ReportRunTexts, ViewerCommandQuotesOnlyAPathWithABlank) {
    EXPECT_EQ(app::viewerCommand("notepad", "zebuntested.txt"), "start notepad zebuntested.txt");
    // No viewer: the file alone, after two blanks.
    EXPECT_EQ(app::viewerCommand("", "zebtiming.txt"), "start  zebtiming.txt");
    EXPECT_EQ(app::viewerCommand("C:\\Program Files\\v.exe", "zebreport.xml"),
              "start \"\" \"C:\\Program Files\\v.exe\" zebreport.xml");
    // Already quoted by the user: the title is still needed, the quotes are not doubled.
    EXPECT_EQ(app::viewerCommand("\"C:\\Program Files\\v.exe\"", "zebreport.xml"),
              "start \"\" \"C:\\Program Files\\v.exe\" zebreport.xml");
    // Without the empty title "start" would take a quoted program for it.
    EXPECT_EQ(app::viewerCommand("\"C:\\Tools\\v.exe\"", "zebreport.xml"),
              "start \"\" \"C:\\Tools\\v.exe\" zebreport.xml");
    // Blanks around a typed path are not part of it: quoted, they would be.
    EXPECT_EQ(app::viewerCommand("notepad ", "zebtiming.txt"), "start notepad  zebtiming.txt");
    EXPECT_EQ(app::viewerCommand(" C:\\Program Files\\v.exe\t", "zebreport.xml"),
              "start \"\" \"C:\\Program Files\\v.exe\" zebreport.xml");
    EXPECT_EQ(app::viewerCommand("C:\\Tools\\my\tv.exe", "zebreport.xml"),
              "start \"\" \"C:\\Tools\\my\tv.exe\" zebreport.xml");
    // A character that cmd acts on outside quotes would cut the path there.
    EXPECT_EQ(app::viewerCommand("C:\\R&D\\view.bat", "zebtiming.txt"),
              "start \"\" \"C:\\R&D\\view.bat\" zebtiming.txt");
    // A first word beginning with "/" would be taken for a switch of "start".
    EXPECT_EQ(app::viewerCommand("/opt/v", "zebtiming.txt"), "start \"\" \"/opt/v\" zebtiming.txt");
    EXPECT_EQ(app::viewerCommand("", "/D"), "start \"\" \"/D\"");
    // A double quote inside the path: no command holds it.
    EXPECT_EQ(app::viewerCommand("my\" && touch PWNED2 && \"viewer", "zebtiming.txt"), std::nullopt);
    EXPECT_EQ(app::viewerCommand("\"a\"b\"", "zebtiming.txt"), std::nullopt);
}

}  // namespace
