#include "report/settings.h"

#include "sys/text.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "report/reportoptions.h"
#include "sys/files.h"

namespace report {

namespace {

bool isOutputFileWord(std::string_view word) {
    return word == "zebprofile.txt" || word == "zebuntested.txt" || word == "zebtiming.txt" ||
           word == "zebreport.xml";
}

// Line 1. The writer always puts "-T <threshold>" after the additional
// options and one of the four listing names after it. A hand-edited line
// without "-T" brings back none of its fields (they keep their defaults);
// with "-T" as its last word the threshold keeps its default; without a
// listing name after the threshold there are no extra symbol/data files.
void parseArgumentLine(std::string_view line, ReportSettings& s) {
    const std::vector<std::string_view> words = sys::splitWords(line);
    const auto dashT = std::find(words.begin(), words.end(), std::string_view("-T"));
    if (dashT == words.end()) return;

    std::string options;
    for (auto w = words.begin(); w != dashT; ++w) {
        options += *w;
        options += ' ';
    }
    s.zebpostOptions = sys::trim(options);

    if (dashT + 1 == words.end()) return;
    s.thresholdText = std::string(*(dashT + 1));
    s.threshold = leadingDecimalValue(s.thresholdText);

    for (auto w = dashT + 2; w != words.end(); ++w) {
        if (isOutputFileWord(*w)) {
            const std::size_t restAt = static_cast<std::size_t>(w->data() - line.data()) + w->size();
            s.symDatFiles = sys::trim(line.substr(restAt));
            return;
        }
    }
}

// Line 2. A non-digit reads as 0. Digits the writer never produces (a report
// type above 5, a view above 4) fall back to the default, so the combo box
// and the radio buttons always have an entry to show; any non-zero viewer
// digit means "ticked". A line too short to hold a digit leaves that field
// at its default.
void parseChoiceLine(std::string_view line, ReportSettings& s) {
    auto digit = [&](std::size_t at) {
        const char c = line[at];
        return c >= '0' && c <= '9' ? c - '0' : 0;
    };
    if (line.size() > 0) {
        const int type = digit(0);
        s.reportType = type < kReportTypeCount ? type : 0;
    }
    if (line.size() > 1) {
        const int view = digit(1);
        s.coverageView = view < kCoverageViewCount ? view : 0;
    }
    if (line.size() > 2) s.invokeViewer = digit(2) != 0 ? 1 : 0;
    if (line.size() > 3) s.viewerPath = std::string(line.substr(3));
}

// A field as one line of the file.
void appendOneLine(std::string& text, std::string_view field) {
    for (char c : field) {
        if (c == '\r') continue;
        text += c == '\n' ? ' ' : c;
    }
}

}  // namespace

std::string settingsFileName(std::string_view projectName) { return std::string(projectName) + ".zeb"; }

std::vector<std::string> readLines(std::istream& in, std::size_t maxLines, std::size_t maxChars) {
    // istream::get turns a failing read (a directory, an I/O error) into
    // the end of the text instead of an exception.
    using Traits = std::istream::traits_type;
    std::vector<std::string> lines;
    while (lines.size() < maxLines) {
        std::string line;
        bool any = false;
        Traits::int_type c;
        // One more than the limit, so a "\r" of a "\r\n" right after the
        // last kept character can still be recognised.
        while (!Traits::eq_int_type(c = in.get(), Traits::eof())) {
            any = true;
            if (Traits::to_char_type(c) == '\n') break;
            if (line.size() <= maxChars) line += Traits::to_char_type(c);
        }
        if (!any) break;
        const bool endedByNewline = !Traits::eq_int_type(c, Traits::eof());
        if (endedByNewline && !line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > maxChars) line.resize(maxChars);
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos) line.resize(nul);
        lines.push_back(std::move(line));
        if (!endedByNewline) break;
    }
    return lines;
}

std::optional<std::vector<std::string>> readFileLines(const std::string& path, std::size_t maxLines,
                                                      std::size_t maxChars) {
    // A directory opens for reading on some systems, but it is no file.
    if (!sys::fileExists(path)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return readLines(in, maxLines, maxChars);
}

ReportSettings parseSettingsLines(const std::vector<std::string>& lines) {
    ReportSettings s;
    if (lines.size() > 0) parseArgumentLine(lines[0], s);
    if (lines.size() > 1) parseChoiceLine(lines[1], s);
    if (lines.size() > 2) s.zeb2htmlOptions = lines[2];
    return s;
}

ReportSettings parseSettings(std::string_view content) {
    std::istringstream in{std::string(content)};
    return parseSettingsLines(readLines(in, 3, kWholeLine));
}

std::string formatSettings(std::string_view settingsLine, int reportType, int coverageView,
                           int invokeViewer, std::string_view viewerPath,
                           std::string_view zeb2htmlOptions) {
    std::string text;
    appendOneLine(text, settingsLine);
    text += '\n';
    text += std::to_string(reportType);
    text += std::to_string(coverageView);
    text += invokeViewer != 0 ? '1' : '0';
    appendOneLine(text, viewerPath);
    text += '\n';
    appendOneLine(text, zeb2htmlOptions);
    text += '\n';
    return text;
}

ReportSettings readSettingsFile(const std::string& path) {
    const auto lines = readFileLines(path, 3, kWholeLine);
    if (!lines) return ReportSettings{};
    return parseSettingsLines(*lines);
}

bool writeSettingsFile(const std::string& path, std::string_view content) {
    return sys::writeFileAtomic(path, content, true);
}

}  // namespace report
