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
    return 0;
}
