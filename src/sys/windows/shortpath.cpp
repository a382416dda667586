#include "sys/shortpath.h"

#include <windows.h>

#include <vector>

namespace sys {

std::optional<std::string> shortPath(const std::string& path, std::size_t bufferBytes) {
    if (bufferBytes == 0) return std::nullopt;
    std::vector<char> buffer(bufferBytes);
    DWORD n = ::GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(bufferBytes));
    if (n == 0 || n >= bufferBytes) return std::nullopt;
    return std::string(buffer.data(), n);
}

}  // namespace sys
