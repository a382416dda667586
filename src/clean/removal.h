// The coverage files that Clean knows and their removal from the current
// directory. Each removal and each failure is one line on standard output.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace clean {

struct CleanItem {
    std::string_view name;  // relative to the current directory
    bool isDirectory;       // present when its index.html is; removed by the interpreter
    std::string_view deletedPrefix;
    std::string_view failedPrefix;
};

// The report items in the order of removal, then the symbol and data file.
std::span<const CleanItem> reportItems();
const CleanItem& symbolFileItem();
const CleanItem& dataFileItem();

// Whether the item is there at this moment.
bool itemExists(const CleanItem& item);

// The command that removes a report directory (nothing: see sys::commandWord).
std::optional<std::string> removeDirectoryCommand(std::string_view name);

// Each removes what exists of its items now and reports every attempt;
// true when no attempted removal failed.
bool removeReportFiles();
bool removeSymbolFile();
bool removeDataFile();

}  // namespace clean
