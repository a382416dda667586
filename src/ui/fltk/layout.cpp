#include "ui/fltk/layout.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace ui::fltk {

namespace {

constexpr double kDefaultDpi = 96.0;
constexpr const char* kAllFiles = "All files";

std::vector<std::string_view> split(std::string_view text, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t at = text.find(sep, start);
        const std::size_t end = at == std::string_view::npos ? text.size() : at;
        parts.push_back(text.substr(start, end - start));
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return parts;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// "*.a;*.b" as one FLTK pattern; "*.*" (any file) is FLTK's "*".
std::string pattern(std::string_view windowsPatterns) {
    std::vector<std::string> exts;
    for (std::string_view p : split(windowsPatterns, ';')) {
        p = trimmed(p);
        if (p.empty()) continue;
        if (p == "*.*" || p == "*") return "*";
        if (p.substr(0, 2) == "*.") {
            exts.emplace_back(p.substr(2));
        } else {
            exts.emplace_back(p);
        }
    }
    if (exts.empty()) return "*";
    if (exts.size() == 1) return "*." + exts[0];
    std::string out = "*.{";
    for (std::size_t i = 0; i < exts.size(); ++i) out += (i ? "," : "") + exts[i];
    return out + "}";
}

}  // namespace

double xftDpi(std::string_view resources) {
    for (std::string_view line : split(resources, '\n')) {
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || trimmed(line.substr(0, colon)) != "Xft.dpi") continue;
        const std::string_view value = trimmed(line.substr(colon + 1));
        double dpi = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), dpi);
        if (ec == std::errc() && end == value.data() + value.size() && dpi >= 24 && dpi <= 2000) return dpi;
    }
    return kDefaultDpi;
}

int fontPixels(int points, double dpi) { return static_cast<int>(std::lround(points * dpi / 72.0)); }

BaseUnits baseUnits(int widthOfAlphabet, int fontHeight) { return {(widthOfAlphabet / 26 + 1) / 2, fontHeight}; }

int pixelsX(int dialogUnits, BaseUnits b) { return (dialogUnits * b.x + 2) / 4; }
int pixelsY(int dialogUnits, BaseUnits b) { return (dialogUnits * b.y + 4) / 8; }
int dialogUnitsX(int pixels, BaseUnits b) { return b.x > 0 ? (pixels * 4 + b.x - 1) / b.x : 0; }
int dialogUnitsY(int pixels, BaseUnits b) { return b.y > 0 ? (pixels * 8 + b.y - 1) / b.y : 0; }

MessageBoxLayout messageBoxLayout(int textWidthPixels, int textHeightPixels, int iconPixels, BaseUnits b) {
    constexpr int kMargin = 10, kButtonWidth = 50, kButtonHeight = 14, kBottom = 8;
    MessageBoxLayout m;
    m.icon = {kMargin, kMargin, dialogUnitsX(iconPixels, b), dialogUnitsY(iconPixels, b)};
    const int textW = dialogUnitsX(textWidthPixels, b) + 2;
    const int textH = std::max(8, dialogUnitsY(textHeightPixels, b));
    const int bodyH = std::max(m.icon.cy, textH);
    m.text = {kMargin + m.icon.cx + kMargin, kMargin + (bodyH - textH) / 2, textW, textH};
    m.cx = std::max(m.text.x + textW + kMargin, kButtonWidth + 2 * 20);
    m.cy = kMargin + bodyH + kMargin + kButtonHeight + kBottom;
    m.button = {(m.cx - kButtonWidth) / 2, kMargin + bodyH + kMargin, kButtonWidth, kButtonHeight};
    return m;
}

std::string chooserFilter(std::string_view filter) {
    std::vector<std::string_view> parts = split(filter, '|');
    std::string out;
    bool anyFile = false;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) break;  // the "||" that ends the list
        if (!out.empty()) out += '\n';
        const std::string p = pattern(parts[i + 1]);
        anyFile = anyFile || p == "*";
        out += std::string(parts[i]) + '\t' + p;
    }
    // Programs here carry no extension: a filter made for Windows names
    // (*.exe) would hide every one of them, so any file can be shown too.
    if (!out.empty() && !anyFile) out += std::string("\n") + kAllFiles + "\t*";
    return out;
}

}  // namespace ui::fltk
