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

// A text longer than `limit` bytes becomes its first `head` bytes, "..." and
// its last `tail` bytes, which makes `limit` bytes again. With `utf8` no
// character is cut: the head ends and the tail starts at a character's
// boundary, which can make the text a few bytes shorter.
std::string shortenDirectory(std::string_view dir, std::size_t limit, std::size_t head, std::size_t tail,
                             bool utf8);

// The working directory as each dialog's "Directory:" line has room for it:
// a longer text keeps its head and its tail around "..." (whole characters
// where paths are UTF-8).
std::string setDialogDirectory(std::string_view dir);
std::string reportDialogDirectory(std::string_view dir);

// Keil tool directories, in lookup order: for each registered product the
// short form of its "Path" and the product's tool folder.
std::vector<std::string> findKeilToolDirs();

}  // namespace app
