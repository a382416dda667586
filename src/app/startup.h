// The pieces of start-up that need no window: reading the command line and
// the project word, and the directory text for the dialogs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace app {

struct ProjectWord {
    std::string projectName;
    int ideKind;
    bool known;  // false: the code and project word give no IDE kind
};

// The project name and IDE kind for IDE code `ideCode` and the third word
// (nothing when there was none).
ProjectWord readProjectWord(const std::optional<std::string>& word, std::string_view ideCode);

// The directory as the dialogs show it: texts longer than `limit` become
// their first `head` bytes, "..." and their last `tail` bytes.
std::string shortenDirectory(std::string_view dir, std::size_t limit, std::size_t head, std::size_t tail);

// Keil tool directories, in lookup order: for each registered product the
// short form of its "Path" and the product's tool folder.
std::vector<std::string> findKeilToolDirs();

}  // namespace app
