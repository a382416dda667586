#include "clean/removal.h"

#include <array>

#include "clean/messages.h"
#include "sys/command.h"
#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "sys/text.h"

namespace clean {

namespace {

constexpr std::array<CleanItem, 5> kReportItems = {{
    {"zebprofile.txt", false, msg::kDeletedReportFile, msg::kNotDeletedReportFile},
    {"zebuntested.txt", false, msg::kDeletedReportFile, msg::kNotDeletedReportFile},
    {"zebtiming.txt", false, msg::kDeletedReportFile, msg::kNotDeletedReportFile},
    {"zebreport.xml", false, msg::kDeletedReportFile, msg::kNotDeletedReportFile},
    {"ZEBHTML", true, msg::kDeletedReportDirectory, msg::kNotDeletedReportDirectory},
}};
constexpr CleanItem kSymbolFile = {"MON.sym", false, msg::kDeletedSymbolFile, msg::kNotDeletedSymbolFile};
constexpr CleanItem kDataFile = {"MON.dat", false, msg::kDeletedDataFile, msg::kNotDeletedDataFile};

// Items are tested again here, not taken from the dialog: the directory may
// have changed while it was open.
bool removeItems(std::span<const CleanItem> items) {
    // The messages name the full directory; one that cannot be obtained
    // leaves an empty text rather than no line.
    const std::string directory = sys::currentDirectory().value_or(std::string());
    bool allRemoved = true;
    for (const CleanItem& item : items) {
        if (!itemExists(item)) continue;
        const std::string name(item.name);
        bool removed = false;
        if (!item.isDirectory) {
            removed = sys::removeFile(name);
        } else if (const std::optional<std::string> command = removeDirectoryCommand(item.name)) {
            removed = sys::runCommand(*command) == 0;
        }
        sys::writeLine(std::string(removed ? item.deletedPrefix : item.failedPrefix) + sys::joinPath(directory, name));
        allRemoved = allRemoved && removed;
    }
    return allRemoved;
}

}  // namespace

std::span<const CleanItem> reportItems() { return kReportItems; }
const CleanItem& symbolFileItem() { return kSymbolFile; }
const CleanItem& dataFileItem() { return kDataFile; }

bool itemExists(const CleanItem& item) {
    const std::string name(item.name);
    return sys::fileExists(item.isDirectory ? sys::joinPath(name, "index.html") : name);
}

std::optional<std::string> removeDirectoryCommand(std::string_view name) {
    const std::optional<std::string> dir = sys::commandWord(name);
    if (!dir) return std::nullopt;
    return sys::concat({"rmdir /s /q ", *dir});
}

bool removeReportFiles() { return removeItems(kReportItems); }
bool removeSymbolFile() { return removeItems({&kSymbolFile, 1}); }
bool removeDataFile() { return removeItems({&kDataFile, 1}); }

}  // namespace clean
