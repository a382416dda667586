#include "sys/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

namespace sys {

std::string programDirectory() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return {};
    std::string path(buffer.data(), static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/'));
}

void* loadModule(const std::string& path, std::string& error) {
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = ::dlerror();
        error = why ? why : path;
    }
    return module;
}

void* moduleSymbol(void* module, const char* name) { return ::dlsym(module, name); }

}  // namespace sys
