// Dialog templates as data: what a resource script says about a dialog, in a
// form that every back end can build its window from.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace ui {

enum class ControlKind {
    PushButton,
    DefPushButton,
    CheckBox,
    RadioButton,
    GroupBox,
    StaticText,
    StaticIcon,  // text holds the icon resource number in decimal
    Edit,
    ComboBox,
    Spin,
};

// Control style flags (the subset of the Win32 styles that the templates use).
enum ControlStyle : std::uint32_t {
    TabStop = 1u << 0,
    GroupStart = 1u << 1,
    Automatic = 1u << 2,    // automatic check box / radio button
    MultiLine = 1u << 3,
    WantReturn = 1u << 4,
    VScroll = 1u << 5,
    HScroll = 1u << 6,
    AutoVScroll = 1u << 7,
    AutoHScroll = 1u << 8,
    Border = 1u << 9,
    DigitsOnly = 1u << 10,
    RightAligned = 1u << 11,
    DropDownList = 1u << 12,
    Sorted = 1u << 13,      // combo box; absent means unsorted
    SpinAutoBuddy = 1u << 14,
    SpinSetBuddyInt = 1u << 15,
    SpinAlignRight = 1u << 16,
    SpinArrowKeys = 1u << 17,
    SpinNoThousands = 1u << 18,
    NoPrefix = 1u << 19,    // static text: '&' is shown as it is (SS_NOPREFIX), as in a message box
};

// Window style flags of a dialog.
enum WindowStyle : std::uint32_t {
    Popup = 1u << 0,
    Caption = 1u << 1,
    SystemMenu = 1u << 2,
    ModalFrame = 1u << 3,
    SetForeground = 1u << 4,
    Visible = 1u << 5,
};

inline constexpr int kNoId = -1;  // static controls without an id of their own

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    int x, y, cx, cy;  // dialog units
    std::uint32_t style;
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    int cx, cy;  // dialog units
    std::string_view font;
    int pointSize;
    std::uint32_t windowStyle;
    std::span<const ControlTemplate> controls;  // template (tab) order

    const ControlTemplate* find(int controlId) const {
        for (const auto& c : controls)
            if (c.id == controlId) return &c;
        return nullptr;
    }
};

}  // namespace ui
