// The short (8.3) form of a path, for command lines that cannot quote it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace sys {

// The short form of an existing path, when it fits `bufferBytes` with its
// terminating zero; nothing when it cannot be converted. Systems without
// short names return the path itself when it exists.
std::optional<std::string> shortPath(const std::string& path, std::size_t bufferBytes);

}  // namespace sys
