#include "sys/regfile.h"

#include <cctype>
#include <vector>

namespace sys {
namespace {

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// Text is single-byte: a UTF-16 code unit beyond it cannot be shown and becomes '?'.
char narrow(unsigned unit) { return unit < 0x100 ? static_cast<char>(unit) : '?'; }

std::string decodeFile(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string out;
        out.reserve(bytes.size() / 2);
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(narrow(static_cast<unsigned char>(bytes[i]) |
                                 static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8));
        return out;
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return std::string(bytes);
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// A quoted string with the \\ and \" escapes, from the opening quote at s[pos].
// Moves pos past the closing quote; nothing when it is not closed.
std::optional<std::string> readQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    for (std::size_t i = pos + 1; i < s.size(); ++i) {
        char c = s[i];
        if (c == '"') {
            pos = i + 1;
            return out;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) c = s[++i];
        out.push_back(c);
    }
    return std::nullopt;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "41,00,42,00" and the like; nothing when a byte is malformed.
std::optional<std::string> readHexBytes(std::string_view s) {
    std::string bytes;
    s = trim(s);
    while (!s.empty()) {
        std::size_t comma = s.find(',');
        std::string_view item = trim(s.substr(0, comma));
        if (item.size() != 2 || hexDigit(item[0]) < 0 || hexDigit(item[1]) < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(hexDigit(item[0]) * 16 + hexDigit(item[1])));
        if (comma == std::string_view::npos) break;
        s.remove_prefix(comma + 1);
    }
    return bytes;
}

// A string stored as bytes: UTF-16LE in the 5.00 format, ANSI in REGEDIT4;
// it ends at its terminating zero.
std::string stringFromBytes(const std::string& bytes, bool wide) {
    std::string out;
    if (wide) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            unsigned unit = static_cast<unsigned char>(bytes[i]) |
                            static_cast<unsigned>(static_cast<unsigned char>(bytes[i + 1])) << 8;
            if (unit == 0) break;
            out.push_back(narrow(unit));
        }
    } else {
        out = bytes.substr(0, bytes.find('\0'));
    }
    return out;
}

}  // namespace

RegistryFile RegistryFile::parse(std::string_view bytes) {
    RegistryFile reg;
    const std::string text = decodeFile(bytes);
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty()) return reg;
    const std::string_view header = trim(lines[0]);
    bool wide;
    if (header == "Windows Registry Editor Version 5.00")
        wide = true;
    else if (header == "REGEDIT4")
        wide = false;
    else
        return reg;

    std::map<std::string, Value>* section = nullptr;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        std::string_view line = trim(lines[n]);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[') {
            section = nullptr;
            if (line.back() != ']' || line.size() < 3 || line[1] == '-') continue;  // [-KEY] deletes
            section = &reg.keys_[upper(line.substr(1, line.size() - 2))];
            continue;
        }
        if (!section) continue;

        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (line.front() == '"') {
            auto quoted = readQuoted(line, pos);
            if (!quoted) continue;
            name = std::move(*quoted);
        } else {
            continue;
        }
        std::string_view rest = trim(line.substr(pos));
        if (rest.empty() || rest.front() != '=') continue;
        rest = trim(rest.substr(1));

        Value value;
        if (!rest.empty() && rest.front() == '"') {
            std::size_t end = 0;
            auto quoted = readQuoted(rest, end);
            if (!quoted) continue;
            value.isString = true;
            value.text = std::move(*quoted);
        } else if (rest == "-") {
            section->erase(upper(name));
            continue;
        } else {
            // Hex data runs on over the lines that end in a backslash.
            std::string data(rest);
            while (!data.empty() && data.back() == '\\' && n + 1 < lines.size()) {
                data.pop_back();
                data.append(trim(lines[++n]));
            }
            const std::string_view d = data;
            const bool plain = d.starts_with("hex(1):");
            const bool expandable = d.starts_with("hex(2):");
            if (plain || expandable) {
                auto raw = readHexBytes(d.substr(7));
                if (!raw) continue;
                value.isString = true;
                value.text = stringFromBytes(*raw, wide);
            }
            // dword:, hex:, hex(7): and the rest are kept as "not a string".
        }
        (*section)[upper(name)] = std::move(value);
    }
    return reg;
}

std::optional<std::string> RegistryFile::readString(std::string_view key, std::string_view name,
                                                    std::size_t bufferBytes) const {
    auto k = keys_.find(upper(key));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.find(upper(name));
    if (v == k->second.end() || !v->second.isString) return std::nullopt;
    if (v->second.text.size() + 1 > bufferBytes) return std::nullopt;
    return v->second.text;
}

}  // namespace sys
