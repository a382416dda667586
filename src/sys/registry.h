// Read-only registry access for the Keil product lookup. On Windows this is
// the real registry; elsewhere the .reg file named by VSZEB_REGISTRY.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace sys {

// The string value `value` of key HKEY_LOCAL_MACHINE\<subKey> (subKey uses
// backslashes, for example "SOFTWARE\\Keil\\Products\\MDK"). Plain and
// expandable strings are returned as stored, unexpanded. Nothing when a key
// cannot be opened, the value is missing or not a string, or the value with
// its terminating zero does not fit `bufferBytes`.
std::optional<std::string> readMachineString(const std::string& subKey, const std::string& value,
                                             std::size_t bufferBytes);

}  // namespace sys
