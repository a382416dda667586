// Every text that Clean shows or prints.
#pragma once

#include <string_view>

namespace clean::msg {

inline constexpr std::string_view kSelectProject = "Please select the project to operate on.";
inline constexpr std::string_view kSelectProjectLine = "*** Error: Please select the project to operate on.";
inline constexpr std::string_view kCleanError = "*** ZEB++ Clean Error";

// Each removal line is one of these, the full current directory, the
// separator and the item's name.
inline constexpr std::string_view kDeletedReportFile = "Deleted report file ";
inline constexpr std::string_view kNotDeletedReportFile = "Could not delete report file ";
inline constexpr std::string_view kDeletedReportDirectory = "Deleted report directory ";
inline constexpr std::string_view kNotDeletedReportDirectory = "Could not delete report directory ";
inline constexpr std::string_view kDeletedSymbolFile = "Deleted symbol file ";
inline constexpr std::string_view kNotDeletedSymbolFile = "Could not delete symbol file ";
inline constexpr std::string_view kDeletedDataFile = "Deleted data file ";
inline constexpr std::string_view kNotDeletedDataFile = "Could not delete data file ";

}  // namespace clean::msg
