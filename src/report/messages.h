// Every text that the Report dialog shows or puts on its controls.
#pragma once

#include <string>
#include <string_view>

namespace report::msg {

// Report type combo entries, in code order (code 1 depends on the IDE).
inline constexpr std::string_view kHtmlReport = "HTML report";
inline constexpr std::string_view kUntestedToVisualStudio = "Untested report to Visual Studio";
inline constexpr std::string_view kUntestedToStdout = "Untested report to stdout";
inline constexpr std::string_view kUntestedToCarbide = "Untested report to Carbide.c++";
inline constexpr std::string_view kUntestedToEclipse = "Untested report to Eclipse";
inline constexpr std::string_view kUntestedToUVision = "Untested report to uVision";
inline constexpr std::string_view kProfileListing = "Profile listing (textual)";
inline constexpr std::string_view kUntestedListing = "Untested listing (textual)";
inline constexpr std::string_view kTimingListing = "Timing listing (textual)";
inline constexpr std::string_view kXmlReport = "XML report";

// Status lines of the symbol and data file.
inline constexpr std::string_view kSymFileMissing = "N/A (not instrumented or other directory/name)";
inline constexpr std::string_view kDatFileMissing = "N/A (no test runs or other directory/name)";
inline constexpr std::string_view kSymFileInvalid = "<invalid file>";
inline std::string symFileStatus(std::string_view stamp) { return "MON.sym (" + std::string(stamp) + ")"; }
inline std::string datFileStatus(std::string_view stamp) { return "MON.dat (" + std::string(stamp) + ")"; }

// Label of the Invoke viewer check box.
inline constexpr std::string_view kInvokeHtmlBrowser = "Invoke viewer (default HTML browser)";
inline constexpr std::string_view kInvokeViewer = "Invoke viewer";

// Select... (the viewer program).
inline constexpr std::string_view kViewerExtension = "exe";
inline constexpr std::string_view kViewerFilter =
    "Executables (*.exe;*.com;*.bat;*.cmd)|*.exe;*.com;*.bat;*.cmd|All Files (*.*)|*.*||";
inline constexpr std::string_view kViewerTitle = "Select viewer program";

// Rejected additional options.
inline std::string zebpostOptionRejected(std::string_view word) {
    return "zebpost option " + std::string(word) + " not allowed\n" + "in Additional/advanced options.";
}
inline std::string zeb2htmlOptionRejected(std::string_view word) {
    return "zeb2html option " + std::string(word) + " not allowed\n" + "in Additional/advanced options.";
}

}  // namespace report::msg
