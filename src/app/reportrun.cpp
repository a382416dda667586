#include "app/reportrun.h"

#include "report/listing.h"
#include "report/reportdlg.h"
#include "sys/command.h"
#include "sys/console.h"
#include "sys/files.h"
#include "sys/messages.h"
#include "sys/text.h"
#include "ui/ui.h"

namespace app {

namespace {

// Every text of the report run.
constexpr std::string_view kHookDir = "Vs_integ";
constexpr std::string_view kHookFile = "report_hook.bat";
constexpr std::string_view kInvoking = "Invoking...";
constexpr std::string_view kZebpost = "zebpost ";
constexpr std::string_view kZeb2htmlInput = "zeb2html -i ";
constexpr std::string_view kZeb2htmlThreshold = " -t ";
constexpr std::string_view kNoBrowser = " -nsb";
constexpr std::string_view kErrorsJoined = " 2>&1";
constexpr std::string_view kStartBrowsing = "Start browsing from the file '";
constexpr std::string_view kHtmlSuffix = ".html'";
constexpr std::string_view kToOutput = "Adjusting the report to Output...";
constexpr std::string_view kToStdout = "Outputting the report to stdout";
constexpr std::string_view kToConsole = "Adjusting the report to Console...";
constexpr std::string_view kToBuildOutput = "Adjusting the report to Build Output...";
constexpr std::string_view kType = "type ";
constexpr std::string_view kPause = " && pause";
constexpr std::string_view kUntestedListing = "zebuntested.txt";
constexpr std::string_view kStartingReport = "Starting the report ";
constexpr std::string_view kStart = "start ";
constexpr std::string_view kNoTitle = "\"\" ";
constexpr std::string_view kReportError = "*** ZEB++ Report Error";
constexpr std::string_view kStartFromFile = "Start the report from the file ";

constexpr int kHtmlReport = 0;
constexpr int kUntestedToIde = 1;

// Blanks and tabs both end a word of a command line.
constexpr std::string_view kWordBreaks = " \t";

bool isQuoted(std::string_view path) { return path.size() >= 2 && path.front() == '"' && path.back() == '"'; }

// Blanks around a typed path only separate it from its neighbours on the
// command line; inside quotes they would become part of the name.
std::string_view withoutOuterBlanks(std::string_view path) {
    const std::size_t first = path.find_first_not_of(kWordBreaks);
    if (first == std::string_view::npos) return {};
    return path.substr(first, path.find_last_not_of(kWordBreaks) - first + 1);
}

}  // namespace

std::string reportHookPath(std::string_view zebHome) {
    return sys::joinPath(sys::joinPath(zebHome, kHookDir), kHookFile);
}

std::optional<std::string> hookCommand(std::string_view zebHome, std::string_view projectName) {
    const std::optional<std::string> hook = sys::commandWord(reportHookPath(zebHome));
    const std::optional<std::string> name = sys::quotedCommandWord(projectName);
    if (!hook || !name) return std::nullopt;
    return sys::concat({*hook, " ", *name});
}

std::string zebpostCommand(std::string_view zebpostArgs) { return sys::concat({kZebpost, zebpostArgs}); }

std::string zeb2htmlCommand(std::string_view outputFile, std::string_view thresholdText,
                            std::string_view zeb2htmlOptions, bool invokeViewer) {
    return sys::concat({kZeb2htmlInput, outputFile, kZeb2htmlThreshold, thresholdText, " ", zeb2htmlOptions,
                   invokeViewer ? std::string_view{} : kNoBrowser});
}

std::string withErrorsJoined(std::string_view command) { return sys::concat({command, kErrorsJoined}); }

std::string startBrowsingLine(std::string_view htmlDir, std::string_view htmlStartName) {
    return sys::concat({kStartBrowsing, htmlDir, std::string_view(&sys::pathSeparator, 1), htmlStartName, kHtmlSuffix});
}

std::string_view untestedReportLine(int ideKind) {
    switch (ideKind) {
    case kVisualStudio: return kToOutput;
    case kCodeWarrior: return kToStdout;
    case kCarbide:
    case kEclipse: return kToConsole;
    case kUVision: return kToBuildOutput;
    default: return {};
    }
}

std::optional<std::string> consoleListingCommand(std::string_view listing) {
    const std::optional<std::string> file = sys::commandWord(listing);
    if (!file) return std::nullopt;
    return sys::concat({kType, *file, kPause});
}

std::string startingReportText(std::string_view viewerPath, std::string_view outputFile) {
    if (viewerPath.empty()) return sys::concat({kStartingReport, outputFile, "\n"});
    return sys::concat({kStartingReport, viewerPath, " ", outputFile, "\n"});
}

std::optional<std::string> viewerCommand(std::string_view viewerPath, std::string_view outputFile) {
    std::string_view program = withoutOuterBlanks(viewerPath);
    // The user's own quotes around the path are kept, not doubled.
    const bool quotedByUser = isQuoted(program);
    if (quotedByUser) program = program.substr(1, program.size() - 2);
    // The first word after "start" is the program, or the file when there is
    // none. "start" would take that word for its window title when it is
    // quoted, so a quoted one has an empty title before it, and for one of
    // its switches when it begins with "/", so such a word is quoted.
    const bool fileFirst = program.empty() && !quotedByUser;
    const std::string_view first = fileFirst ? outputFile : program;
    const bool titled = quotedByUser || sys::needsQuotes(first) || first.starts_with('/');
    const std::optional<std::string> word = titled ? sys::quotedCommandWord(first) : sys::commandWord(first);
    if (!word) return std::nullopt;
    if (fileFirst)
        return titled ? sys::concat({kStart, kNoTitle, *word}) : sys::concat({kStart, viewerPath, " ", *word});
    const std::optional<std::string> file = sys::commandWord(outputFile);
    if (!file) return std::nullopt;
    if (titled) return sys::concat({kStart, kNoTitle, *word, " ", *file});
    return sys::concat({kStart, viewerPath, " ", *file});
}

std::string startFromFileLine(std::string_view outputFile) { return sys::concat({kStartFromFile, outputFile}); }

namespace {

void runHook(const std::string& command) {
    sys::writeLine(kInvoking);
    sys::writeLine(command);
    // What the hook does is the project's business; the report goes on.
    sys::runCommand(command);
}

void runHtmlReport(const CReportDlg& dlg) {
    const bool invokeViewer = dlg.invokeViewer != 0;
    const std::string command =
        zeb2htmlCommand(dlg.outputFile, dlg.thresholdText, dlg.zeb2htmlOptions, invokeViewer);
    sys::writeLine(command);
    if (sys::runCommand(withErrorsJoined(command)) != 0) return;
    if (!invokeViewer) sys::writeLine(startBrowsingLine(dlg.htmlDir, dlg.htmlStartName));
}

void runUntestedToIde(int ideKind, const std::optional<std::string>& typeCommand) {
    const std::string_view line = untestedReportLine(ideKind);
    if (line.empty()) return;
    sys::writeLine(line);
    if (typeCommand) {
        sys::runCommand(*typeCommand);
    } else {
        report::adjustUntestedListing();
    }
}

void runViewer(const CReportDlg& dlg, const std::optional<std::string>& command) {
    if (!command) {
        sys::writeLine(startFromFileLine(dlg.outputFile));
        return;
    }
    sys::writeText(startingReportText(dlg.viewerPath, dlg.outputFile));
    if (sys::runCommand(*command) != 0) sys::writeLine(kReportError);
}

}  // namespace

void runReport(const LaunchContext& ctx, const std::string& zebHome) {
    const std::string hookPath = reportHookPath(zebHome);
    if (sys::fileExists(hookPath)) {
        const std::optional<std::string> hook = hookCommand(zebHome, ctx.projectName);
        if (!hook) {
            sys::writeLine(sys::msg::notOneWord(sys::msg::kPath, hookPath));
            return;
        }
        runHook(*hook);
    }

    CReportDlg dlg(ctx.projectName, ctx.ideKind, ctx.projectDir, ctx.ideCode);
    ui::App* application = ui::currentApp();
    if (application) application->mainWindow = &dlg;
    const int result = dlg.doModal();
    if (application) application->mainWindow = nullptr;
    if (result != ui::IDOK) return;

    // The command after zebpost that holds a path of ours is built before
    // zebpost runs: one that cannot be built stops the run before any of it.
    const bool typed = dlg.reportType == kUntestedToIde && ctx.ideKind == kCodeWarrior;
    const bool viewed = dlg.reportType != kHtmlReport && dlg.reportType != kUntestedToIde && dlg.invokeViewer != 0;
    std::optional<std::string> last;
    if (typed) last = consoleListingCommand(kUntestedListing);
    if (viewed) last = viewerCommand(dlg.viewerPath, dlg.outputFile);
    if ((typed || viewed) && !last) {
        sys::writeLine(sys::msg::notOneWord(sys::msg::kPath, typed ? kUntestedListing : dlg.viewerPath));
        return;
    }

    const std::string zebpost = zebpostCommand(dlg.zebpostArgs);
    sys::writeLine(kInvoking);
    sys::writeLine(zebpost);
    // zebpost has said what went wrong in its own output.
    if (sys::runCommand(withErrorsJoined(zebpost)) != 0) return;

    switch (dlg.reportType) {
    case kHtmlReport: runHtmlReport(dlg); break;
    case kUntestedToIde: runUntestedToIde(ctx.ideKind, last); break;
    default: runViewer(dlg, last); break;
    }
}

}  // namespace app
