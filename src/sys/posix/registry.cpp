#include "sys/registry.h"

#include "sys/env.h"
#include "sys/files.h"
#include "sys/regfile.h"

namespace sys {

std::optional<std::string> readMachineString(const std::string& subKey, const std::string& value,
                                             std::size_t bufferBytes) {
    const std::string file = getEnv("VSZEB_REGISTRY");
    if (file.empty()) return std::nullopt;
    const std::optional<std::string> bytes = readFile(file);
    if (!bytes) return std::nullopt;
    return RegistryFile::parse(*bytes).readString("HKEY_LOCAL_MACHINE\\" + subKey, value, bufferBytes);
}

}  // namespace sys
