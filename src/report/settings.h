// The per-project report settings file (<project>.zeb): three text lines
// that bring back the choices of the last confirmed Report dialog.
//   1  the zebpost arguments with " -T <threshold>" after the additional options
//   2  report type digit, coverage view digit, invoke-viewer digit, viewer path
//   3  the additional zeb2html options
#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// The settings file's lines are read whole, however long: OK writes what
// the edits hold, and the next run must get all of it back.
inline constexpr std::size_t kWholeLine = std::string::npos;

struct ReportSettings {
    std::string zebpostOptions;
    std::string thresholdText = "75";
    unsigned threshold = 75;
    std::string symDatFiles;
    int reportType = 0;
    int coverageView = 0;
    int invokeViewer = 1;
    std::string viewerPath;
    std::string zeb2htmlOptions;

    bool operator==(const ReportSettings&) const = default;
};

std::string settingsFileName(std::string_view projectName);

// Reads up to `maxLines` lines. Each line loses its line end ("\n" or
// "\r\n"), keeps at most `maxChars` characters (the rest of that line is
// skipped, never taken for the next line) and ends at a NUL byte, as the C
// string it was read into would. kWholeLine keeps every character.
std::vector<std::string> readLines(std::istream& in, std::size_t maxLines, std::size_t maxChars);
// The same for a file; nothing when it cannot be opened.
std::optional<std::vector<std::string>> readFileLines(const std::string& path, std::size_t maxLines,
                                                      std::size_t maxChars);

// The fields held in the lines of a settings file. Whatever a line does not
// hold in the written form keeps its default (see settings.cpp).
ReportSettings parseSettingsLines(const std::vector<std::string>& lines);
ReportSettings parseSettings(std::string_view content);

// The three lines as written, each ended by "\n" (the file is written in
// text mode, so the platform's line end is what reaches the disk). A line
// break inside a field would split its line and shift every later field:
// a carriage return is dropped and a line feed becomes a blank, as the Set
// dialog does with its options.
std::string formatSettings(std::string_view settingsLine, int reportType, int coverageView,
                           int invokeViewer, std::string_view viewerPath,
                           std::string_view zeb2htmlOptions);

// Defaults when the file cannot be opened.
ReportSettings readSettingsFile(const std::string& path);
// Replaces the file whole or not at all; false when it could not be written
// (callers go on silently: the report still runs with the confirmed values).
bool writeSettingsFile(const std::string& path, std::string_view content);

}  // namespace report
