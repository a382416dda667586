#include "sys/process.h"

#include <cctype>

#include "sys/text.h"

namespace sys {
namespace {

bool isSlash(char c) { return c == '\\' || c == '/'; }

// "C:\..." or "\\server\share\...": a path that names one file wherever the
// program runs. "C:x", "\x" and "x" depend on the current drive or directory.
bool isFullWindowsPath(std::string_view path) {
    if (path.find('"') != std::string_view::npos) return false;
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && isSlash(path[2]))
        return true;
    return path.size() >= 3 && isSlash(path[0]) && isSlash(path[1]) && !isSlash(path[2]);
}

}  // namespace

std::string interpreterPath(std::string_view comspec, std::string_view systemDirectory) {
    if (isFullWindowsPath(comspec)) return std::string(comspec);
    if (!isFullWindowsPath(systemDirectory)) return {};
    const bool endsInSlash = isSlash(systemDirectory.back());
    return concat({systemDirectory, endsInSlash ? "" : "\\", "cmd.exe"});
}

}  // namespace sys
