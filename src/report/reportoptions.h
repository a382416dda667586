// The Report dialog's option texts: scanning them into words, rejecting the
// options the program composes itself, and assembling the zebpost arguments
// and the first line of the settings file. Pure functions, no window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace report {

// Report types (combo positions) and coverage views (codes, not tab order).
enum ReportType : int {
    kHtmlReport = 0,
    kUntestedToIde = 1,
    kProfileListing = 2,
    kUntestedListing = 3,
    kTimingListing = 4,
    kXmlReport = 5,
};
inline constexpr int kReportTypeCount = 6;
inline constexpr int kCoverageViewCount = 5;

// The value of the leading decimal digits, 0 when there are none; saturates
// instead of wrapping, so a long digit string never reads as a small number.
unsigned leadingDecimalValue(std::string_view text);

// By report type: the name shown in the combo box (code 1 depends on the
// IDE), the listing zebpost writes, and the option that selects it.
std::string_view reportTypeName(int reportType, int ideKind);
std::string_view outputFileFor(int reportType);
std::string_view outputOptionFor(int reportType);
// " -fc" and so on; empty for "as instrumented" and unknown codes.
std::string_view viewFlagFor(int coverageView);

// Result of an option check: the first forbidden word in text order, or
// nothing when the options pass.
struct OptionCheck {
    std::optional<std::string> rejectedWord;
    bool ok() const { return !rejectedWord; }
};

OptionCheck checkZebpostOptions(std::string zebpostOptions);

// Where zeb2html puts the report and how it names the start page when its
// options do not say.
inline constexpr std::string_view kDefaultHtmlDir = "ZEBHTML";
inline constexpr std::string_view kDefaultHtmlStartName = "index";

// On success, may set htmlStartName (from "-p NAME") and htmlDir (from
// "-o DIR"); on failure leaves both as they were.
OptionCheck checkZeb2htmlOptions(std::string zeb2htmlOptions, std::string& htmlDir,
                                 std::string& htmlStartName);

struct ZebpostArguments {
    std::string settingsLine;  // with " -T " and the threshold text
    std::string zebpostArgs;   // what follows "zebpost " on the command line
};

struct ArgumentInputs {
    std::string_view zebpostOptions;  // trimmed
    std::string_view thresholdText;
    int coverageView = 0;
    bool symFileExists = false;
    bool datFileExists = false;
    int reportType = 0;
    std::string_view symDatFiles;  // trimmed
};

ZebpostArguments assembleZebpostArguments(const ArgumentInputs& in);

// Status lines of the symbol and data file; nothing stands for a file that
// could not be opened.
//   Symbol file: its first lines as read (each cut to 99 characters).
//   Data file: its first bytes, at least 74 when it has them (50 to search
//   for the "|", 24 to show after it).
std::string symFileStatusText(const std::optional<std::vector<std::string>>& lines);
std::string datFileStatusText(std::optional<std::string_view> head);

}  // namespace report
