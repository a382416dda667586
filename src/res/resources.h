// The program's resources: dialog templates, the string table, the icon and
// the version. Both the portable back ends and vsZEB.rc are built from these.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "res/version.h"
#include "ui/template.h"

namespace res {

inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDS_ABOUTBOX = 103;
inline constexpr int IDR_MAINFRAME = 128;  // the application icon
inline constexpr int IDD_REPORT = 133;
inline constexpr int IDD_CLEAN = 139;
inline constexpr int IDD_SET = 157;

inline constexpr unsigned IDM_ABOUTBOX = 0x0010;  // system-menu command of the About entry

inline constexpr std::string_view kVersionText = VSZEB_VERSION_TEXT;
inline constexpr std::uint16_t kVersion[4] = {VSZEB_VERSION_MAJOR, VSZEB_VERSION_MINOR, VSZEB_VERSION_PATCH,
                                              VSZEB_VERSION_BUILD};

// The template with this id; nullptr when there is none.
const ui::DialogTemplate* dialogTemplate(int id);

// The string resource with this id; empty when there is none.
std::string_view loadString(int id);

// One image of an icon resource: width and height in pixels, 16 colours.
struct IconImage {
    int size;                        // 16 or 32
    std::span<const std::uint32_t> palette;  // 16 entries, 0x00RRGGBB
    std::span<const std::uint8_t> pixels;    // size*size palette indices, top row first
    std::span<const std::uint8_t> mask;      // size*size, 1 = transparent
};

// The images of icon resource `id` (16x16 first, then 32x32); empty when none.
std::span<const IconImage> iconImages(int id);

}  // namespace res
