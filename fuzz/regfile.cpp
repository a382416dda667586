// A registry export file, as the registry of systems without one reads it.
#include "sys/regfile.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "check.h"

namespace {

std::string changeCase(std::string_view text, bool upper) {
    std::string out(text);
    for (char& c : out) {
        const int byte = static_cast<unsigned char>(c);
        c = static_cast<char>(upper ? std::toupper(byte) : std::tolower(byte));
    }
    return out;
}

// The value with its name, asked for as the program does.
void checkValue(const sys::RegistryFile& reg, std::string_view key, std::string_view name) {
    constexpr std::size_t kAnySize = std::numeric_limits<std::size_t>::max();
    const std::optional<std::string> value = reg.readString(key, name, kAnySize);
    // Names compare without regard to case.
    FUZZ_CHECK(reg.readString(changeCase(key, true), changeCase(name, false), kAnySize) == value);
    FUZZ_CHECK(reg.readString(changeCase(key, false), changeCase(name, true), kAnySize) == value);
    if (!value) return;
    // It needs room for its terminating zero, and no more.
    FUZZ_CHECK(reg.readString(key, name, value->size() + 1) == value);
    FUZZ_CHECK(!reg.readString(key, name, value->size()));
}

// A value as the registry editor exports it: a quoted string, and the
// same text as expandable hex bytes (UTF-16LE with its zero), continued
// over several lines as the editor writes long ones.
std::string exported(std::string_view value) {
    std::string file = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fuzz]\r\n";
    file += "\"Text\"=\"";
    for (char c : value) {
        if (c == '"' || c == '\\') file += '\\';
        file += c;
    }
    file += "\"\r\n\"Expand\"=hex(2):";
    std::string units;
    for (char c : value) units += {c, '\0'};
    units += {'\0', '\0'};
    static constexpr char kHex[] = "0123456789abcdef";
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto byte = static_cast<unsigned char>(units[i]);
        file += {kHex[byte >> 4], kHex[byte & 15]};
        if (i + 1 < units.size()) file += (i + 1) % 25 == 0 ? ",\\\r\n  " : ",";
    }
    file += "\r\n";
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    const sys::RegistryFile reg = sys::RegistryFile::parse(input);

    // Ask for the keys and value names that the text seems to hold, as far
    // as a plain reading of its lines finds them.
    std::string key;
    std::string_view rest = input;
    while (!rest.empty()) {
        std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('[') && line.ends_with(']') && line.size() >= 2) {
            key = std::string(line.substr(1, line.size() - 2));
        } else if (line.starts_with('@')) {
            checkValue(reg, key, "");
        } else if (line.starts_with('"')) {
            const std::size_t close = line.find('"', 1);
            if (close != std::string_view::npos) checkValue(reg, key, line.substr(1, close - 1));
        }
    }

    // Any one-line text without a zero comes back from an export.
    const std::string_view value = input.substr(0, input.find_first_of(std::string_view("\r\n\0", 3)));
    const sys::RegistryFile back = sys::RegistryFile::parse(exported(value));
    FUZZ_CHECK(back.readString("HKEY_CURRENT_USER\\Software\\Fuzz", "Text", value.size() + 1) == value);
    FUZZ_CHECK(back.readString("HKEY_CURRENT_USER\\Software\\Fuzz", "Expand", value.size() + 1) == value);
    return 0;
}
