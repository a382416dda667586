// The registry editor's export format (.reg), read-only: the registry of
// systems that have none of their own.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sys {

class RegistryFile {
public:
    // Parses the bytes of a .reg file (ANSI, UTF-8 or UTF-16LE with its byte
    // order mark; LF or CRLF). Text that is not a registry export gives an
    // empty registry; lines that cannot be read are skipped.
    static RegistryFile parse(std::string_view bytes);

    // The string value `name` ("" is the default value) of the key with its
    // full name, for example "HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil". Key and
    // value names compare without regard to case, as in Windows. Nothing when
    // the key or value is missing, the value is not a string, or it does not
    // fit `bufferBytes` with its terminating zero.
    std::optional<std::string> readString(std::string_view key, std::string_view name,
                                          std::size_t bufferBytes) const;

private:
    struct Value {
        bool isString = false;
        std::string text;
    };
    // Keyed by the upper-case form of the key and value names.
    std::map<std::string, std::map<std::string, Value>> keys_;
};

}  // namespace sys
