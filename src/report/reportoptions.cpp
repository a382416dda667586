#include "report/reportoptions.h"

#include "sys/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>

#include "report/messages.h"

namespace report {

namespace {

// The options the program composes itself: the listing (-p -u -t -x), the
// coverage view (-fc -fd -ff -fmcdc), and help, which would end the tool.
constexpr std::array<std::string_view, 9> kForbiddenZebpost = {"-p",  "-u",  "-t",     "-x", "-fc",
                                                               "-fd", "-ff", "-fmcdc", "-h"};
// The report run puts -i, -t and -nsb on the zeb2html command itself.
constexpr std::array<std::string_view, 5> kForbiddenZeb2html = {"-i", "-t", "-nsb", "-h",
                                                                "--enable-help"};
constexpr std::string_view kZebpostEnd = "END_OF_ZEBPOST_OPTIONS";
constexpr std::string_view kZeb2htmlEnd = "END_OF_ZEB2HTML_OPTIONS";

template <std::size_t N>
bool isOneOf(std::string_view word, const std::array<std::string_view, N>& list) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

void replaceAll(std::string& text, std::string_view what, std::string_view with) {
    // Built anew rather than with std::string::replace in place, which GCC 12
    // misreads at -O2 as an overlapping copy.
    std::string result;
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        result.append(text, from, at - from).append(with);
        from = at + what.size();
    }
    result.append(text, from, std::string::npos);
    text = std::move(result);
}

void cutBefore(std::string& text, std::string_view marker) {
    if (const std::size_t at = text.find(marker); at != std::string::npos) text.resize(at);
}

}  // namespace

unsigned leadingDecimalValue(std::string_view text) {
    constexpr unsigned kMax = std::numeric_limits<unsigned>::max();
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') break;
        const unsigned d = static_cast<unsigned>(c - '0');
        if (value > (kMax - d) / 10) return kMax;
        value = value * 10 + d;
    }
    return value;
}

std::string_view reportTypeName(int reportType, int ideKind) {
    switch (reportType) {
        case kHtmlReport: return msg::kHtmlReport;
        case kUntestedToIde:
            // The odd kinds (no project) never reach the dialog; they name the
            // same IDE. An unknown IDE gets the first IDE's entry so that the
            // combo box still has its six entries.
            switch (ideKind >= 0 ? ideKind / 2 : 0) {
                case 1: return msg::kUntestedToStdout;
                case 2: return msg::kUntestedToCarbide;
                case 3: return msg::kUntestedToEclipse;
                case 4: return msg::kUntestedToUVision;
                default: return msg::kUntestedToVisualStudio;
            }
        case kProfileListing: return msg::kProfileListing;
        case kUntestedListing: return msg::kUntestedListing;
        case kTimingListing: return msg::kTimingListing;
        case kXmlReport: return msg::kXmlReport;
        default: return {};
    }
}

std::string_view outputFileFor(int reportType) {
    switch (reportType) {
        case kUntestedToIde:
        case kUntestedListing: return "zebuntested.txt";
        case kTimingListing: return "zebtiming.txt";
        case kXmlReport: return "zebreport.xml";
        default: return "zebprofile.txt";
    }
}

std::string_view outputOptionFor(int reportType) {
    switch (reportType) {
        case kUntestedToIde:
        case kUntestedListing: return " -u ";
        case kTimingListing: return " -t ";
        case kXmlReport: return " -x ";
        default: return " -p ";
    }
}

std::string_view viewFlagFor(int coverageView) {
    switch (coverageView) {
        case 1: return " -fc";
        case 2: return " -fd";
        case 3: return " -ff";
        case 4: return " -fmcdc";
        default: return {};
    }
}

OptionCheck checkZebpostOptions(std::string zebpostOptions) {
    zebpostOptions += ' ';
    zebpostOptions += kZebpostEnd;
    for (const std::string_view word : sys::splitWords(zebpostOptions)) {
        if (word == kZebpostEnd) break;
        if (isOneOf(word, kForbiddenZebpost)) return {std::string(word)};
    }
    return {};
}

OptionCheck checkZeb2htmlOptions(std::string zeb2htmlOptions, std::string& htmlDir,
                                 std::string& htmlStartName) {
    std::string scanned = zeb2htmlOptions + " " + std::string(kZeb2htmlEnd);
    const std::vector<std::string_view> words = sys::splitWords(scanned);
    std::optional<std::string> startCandidate;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == kZeb2htmlEnd) break;
        if (word == "-p") {
            // A "-p" with no word of the user's after it names nothing: the
            // start page stays as it was. Only the appended end word (the
            // last one) is not the user's; a typed one after "-p" is taken
            // like any other word and does not end the scan.
            if (i + 2 < words.size()) startCandidate = std::string(words[++i]);
            continue;
        }
        if (isOneOf(word, kForbiddenZeb2html)) return {std::string(word)};
    }
    if (startCandidate && !startCandidate->empty()) htmlStartName = *startCandidate;

    // The output directory: everything after " -o " up to the next option
    // that can follow it. Options without a value are removed first so they
    // do not end up in the directory.
    std::string text = " " + zeb2htmlOptions;
    replaceAll(text, " -no-javascript", " ");
    replaceAll(text, " -no-sources", " ");
    const std::size_t dashO = text.find(" -o ");
    if (dashO == std::string::npos) return {};
    std::string dir = text.substr(dashO + 4);
    for (std::string_view marker : {" -s ", " -p ", " -li ", " --disable-", " --enable-"}) cutBefore(dir, marker);
    dir = sys::trim(dir);
    std::erase(dir, '"');
    htmlDir = dir;
    return {};
}

ZebpostArguments assembleZebpostArguments(const ArgumentInputs& in) {
    ZebpostArguments a;
    a.settingsLine = std::string(in.zebpostOptions) + " -T " + std::string(in.thresholdText);
    a.zebpostArgs = std::string(in.zebpostOptions);
    auto appendBoth = [&](std::string_view piece) {
        a.settingsLine += piece;
        a.zebpostArgs += piece;
    };
    appendBoth(viewFlagFor(in.coverageView));
    if (in.symFileExists) appendBoth(" MON.sym");
    if (in.datFileExists) appendBoth(" MON.dat");
    appendBoth(outputOptionFor(in.reportType));
    appendBoth(outputFileFor(in.reportType));
    appendBoth(" ");
    appendBoth(in.symDatFiles);
    a.settingsLine = sys::trim(a.settingsLine);
    a.zebpostArgs = sys::trim(a.zebpostArgs);
    return a;
}

std::string symFileStatusText(const std::optional<std::vector<std::string>>& lines) {
    if (!lines) return std::string(msg::kSymFileMissing);
    if (lines->empty() || !(*lines)[0].starts_with("ZEB++")) return std::string(msg::kSymFileInvalid);
    return msg::symFileStatus(lines->size() > 1 ? std::string_view((*lines)[1]) : std::string_view());
}

std::string datFileStatusText(std::optional<std::string_view> head) {
    if (!head) return std::string(msg::kDatFileMissing);
    const std::size_t bar = head->substr(0, 50).find('|');
    if (bar == std::string_view::npos) return {};
    // The time stamp the tool wrote: up to 24 characters, ending early at
    // the end of the file or of its line.
    std::string_view stamp = head->substr(bar + 1, 24);
    stamp = stamp.substr(0, stamp.find_first_of(std::string_view("\r\n\0", 3)));
    return msg::datFileStatus(stamp);
}

}  // namespace report
