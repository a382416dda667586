// The report run: the project's report hook, the Report dialog, then
// zebpost and, by report type, zeb2html, the listing rewritten for the IDE,
// the listing typed to the console or a viewer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/launch.h"

namespace app {

// Runs the report for the launch context; `zebHome` is the tool home as
// start-up read it (empty when unset).
void runReport(const LaunchContext& ctx, const std::string& zebHome);

// ---- The texts of the run: every command and line it prints. A command
// that names a path or a name which no command text can hold as one word
// (see sys::commandWord) is nothing.

// Where the report hook lives under the tool home.
std::string reportHookPath(std::string_view zebHome);

// The hook with the quoted project name. The hook's own path is quoted only
// when it holds a blank or a character the interpreter acts on.
std::optional<std::string> hookCommand(std::string_view zebHome, std::string_view projectName);

// "zebpost " and the arguments, as printed (the run appends the redirection).
std::string zebpostCommand(std::string_view zebpostArgs);

// The zeb2html command as printed; " -nsb" keeps zeb2html from opening the
// browser itself when the viewer is not wanted.
std::string zeb2htmlCommand(std::string_view outputFile, std::string_view thresholdText,
                            std::string_view zeb2htmlOptions, bool invokeViewer);

// The command line actually run: the printed form and " 2>&1".
std::string withErrorsJoined(std::string_view command);

// "Start browsing from the file '<dir><sep><start>.html'".
std::string startBrowsingLine(std::string_view htmlDir, std::string_view htmlStartName);

// The progress line before the untested report goes to the IDE; empty for an
// IDE kind that gets no untested report.
std::string_view untestedReportLine(int ideKind);

// The command that types the listing for CodeWarrior.
std::optional<std::string> consoleListingCommand(std::string_view listing);

// "Starting the report ..." with its own newline.
std::string startingReportText(std::string_view viewerPath, std::string_view outputFile);

// "start" with the viewer and the file. A viewer path that needs quotes (or
// that the user quoted) is quoted, with an empty window title before it so
// that the quoted path is taken as the program; an empty path lets the
// file's registered program open it.
std::optional<std::string> viewerCommand(std::string_view viewerPath, std::string_view outputFile);

// The line that names the file when no viewer is started.
std::string startFromFileLine(std::string_view outputFile);

}  // namespace app
