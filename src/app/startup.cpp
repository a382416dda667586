#include "app/startup.h"

#include "app/launch.h"
#include "sys/files.h"
#include "sys/registry.h"
#include "sys/shortpath.h"

namespace app {

namespace {

struct IdeKinds {
    std::string_view code;
    int named;
    int unnamed;  // kUnknownIde: this IDE has no "no project" form of that kind
};

// CodeWarrior names "no project" with a word of two quotes, the others by
// leaving the word out.
constexpr IdeKinds kIdeKinds[] = {
    {"vs", kVisualStudio, kVisualStudioNoProject},
    {"cw", kCodeWarrior, kCodeWarriorNoProject},
    {"ca", kCarbide, kCarbideNoProject},
    {"ec", kEclipse, kEclipseNoProject},
    {"uv", kUVision, kUVisionNoProject},
};

const IdeKinds* findIde(std::string_view code) {
    for (const auto& k : kIdeKinds)
        if (k.code == code) return &k;
    return nullptr;
}

}  // namespace

std::string shortenDirectory(std::string_view dir, std::size_t limit, std::size_t head, std::size_t tail,
                             bool utf8) {
    if (dir.size() <= limit) return std::string(dir);
    std::size_t tailStart = dir.size() - tail;
    if (utf8) {
        // continuation bytes (10xxxxxx) belong to the character before them
        const auto continues = [&dir](std::size_t at) { return (static_cast<unsigned char>(dir[at]) & 0xC0) == 0x80; };
        while (head > 0 && continues(head)) --head;
        while (tailStart < dir.size() && continues(tailStart)) ++tailStart;
    }
    return std::string(dir.substr(0, head)) + "..." + std::string(dir.substr(tailStart));
}

ProjectWord readProjectWord(const std::optional<std::string>& word, std::string_view ideCode) {
    const IdeKinds* ide = findIde(ideCode);
    const bool isCodeWarrior = ideCode == "cw";
    if (!word) {
        if (ide && !isCodeWarrior) return {"", ide->unnamed, true};
        return {"", kUnknownIde, false};
    }
    const std::string& w = *word;
    if (w.size() >= 2 && w[0] == '"' && w[1] == '"') {
        if (isCodeWarrior) return {"", kCodeWarriorNoProject, true};
        return {"", kUnknownIde, false};
    }
    std::string name = w;
    if (!name.empty() && name.front() == '"') name.erase(0, 1);
    if (!name.empty() && name.back() == '"') name.pop_back();
    if (ide) return {name, ide->named, true};
    return {name, kUnknownIde, false};
}

std::string setDialogDirectory(std::string_view dir) { return shortenDirectory(dir, 48, 10, 35, sys::pathsAreUtf8); }

std::string reportDialogDirectory(std::string_view dir) {
    return shortenDirectory(dir, 58, 15, 40, sys::pathsAreUtf8);
}

std::vector<std::string> findKeilToolDirs() {
    struct Product {
        const char* key;
        const char* folder;
        const char* subFolder;  // nullptr: none
    };
    static constexpr Product kProducts[] = {
        {"MDK", "ARMCC", "bin"},
        {"C251", "BIN", nullptr},
        {"C166", "BIN", nullptr},
        {"C51", "BIN", nullptr},
    };
    constexpr std::size_t kValueBuffer = 300;
    constexpr std::size_t kPathBuffer = 260;

    std::vector<std::string> dirs;
    for (const Product& p : kProducts) {
        auto path = sys::readMachineString(std::string("SOFTWARE\\Keil\\Products\\") + p.key, "Path", kValueBuffer);
        if (!path) continue;
        // A product whose path has no short form could not be put on a
        // command line unquoted: it is left out like an unregistered one.
        auto shortForm = sys::shortPath(*path, kPathBuffer);
        if (!shortForm) continue;
        std::string dir = sys::joinPath(*shortForm, p.folder);
        if (p.subFolder) dir = sys::joinPath(dir, p.subFolder);
        dirs.push_back(std::move(dir));
    }
    return dirs;
}

}  // namespace app
