#include "sys/shortpath.h"

#include <sys/stat.h>

namespace sys {

std::optional<std::string> shortPath(const std::string& path, std::size_t bufferBytes) {
    struct stat st;
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
    if (path.size() + 1 > bufferBytes) return std::nullopt;
    return path;
}

}  // namespace sys
