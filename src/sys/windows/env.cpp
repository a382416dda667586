#include "sys/env.h"

#include <windows.h>

#include <vector>

namespace sys {

std::string getEnv(const std::string& name) {
    std::vector<char> buffer(256);
    for (;;) {
        DWORD n = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);  // n counts the terminating zero here
    }
}

std::optional<std::string> currentDirectory() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0) return std::nullopt;
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);  // the directory changed size between calls: ask again
    }
}

std::string fullPath(const std::string& path) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0) return path;
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n);
    }
}

std::string commandLineTail(int, char**) { return commandLineTailOf(::GetCommandLineA()); }

}  // namespace sys
