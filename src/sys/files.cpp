#include "sys/files.h"

#include <cstdio>
#include <memory>

namespace sys {

std::string joinPath(std::string_view dir, std::string_view name) {
    std::string path;
    path.reserve(dir.size() + 1 + name.size());
    path.append(dir);
    path.push_back(pathSeparator);
    path.append(name);
    return path;
}

bool namesPath(std::string_view name) {
    const std::string_view pathCharacters = pathSeparator == '\\' ? "/\\:" : "/\\";
    return name == "." || name == ".." || name.find_first_of(pathCharacters) != std::string_view::npos;
}

std::optional<std::string> readFile(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return std::nullopt;
    std::string content;
    char chunk[8192];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) content.append(chunk, got);
    // A read that fails midway (or a directory, which opens on some systems)
    // must not pass for a short file.
    if (std::ferror(file.get())) return std::nullopt;
    return content;
}

bool writeFileAtomic(const std::string& path, std::string_view content, bool text) {
    return !writeFileAtomicFault(path, content, text).has_value();
}

std::string withCrLf(std::string_view content) {
    std::string out;
    out.reserve(content.size() + content.size() / 16);
    for (char c : content) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

}  // namespace sys
