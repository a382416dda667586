#include "sys/module.h"

#include <windows.h>

#include <vector>

namespace sys {

std::string programDirectory() {
    std::vector<char> buffer(MAX_PATH);
    DWORD n = 0;
    while ((n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()))) == buffer.size())
        buffer.resize(buffer.size() * 2);
    if (n == 0) return {};
    std::string path(buffer.data(), n);
    return path.substr(0, path.find_last_of("\\/"));
}

void* loadModule(const std::string& path, std::string& error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) error = "error " + std::to_string(GetLastError()) + " loading " + path;
    return reinterpret_cast<void*>(module);
}

void* moduleSymbol(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace sys
