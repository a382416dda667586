#include "sys/registry.h"

#include <windows.h>

#include <vector>

namespace sys {

std::optional<std::string> readMachineString(const std::string& subKey, const std::string& value,
                                             std::size_t bufferBytes) {
    if (bufferBytes == 0) return std::nullopt;
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<char> buffer(bufferBytes);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(bufferBytes);
    LONG rc = ::RegQueryValueExA(key, value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::string text(buffer.data(), size);
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    else if (text.size() + 1 > bufferBytes)  // stored without its zero, and no room for one
        return std::nullopt;
    return text;
}

}  // namespace sys
