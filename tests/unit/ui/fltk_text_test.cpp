// The FLTK back end's text rules: labels shown as the program wrote them,
// and a message box's text broken into lines that fit on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "ui/fltk/layout.h"
#include "ui/fltk/text.h"

namespace {

using ui::fltk::wrapText;

// Every character 7 pixels wide, as a stand-in for a font.
int sevenEach(std::string_view piece) { return static_cast<int>(piece.size()) * 7; }

TEST(FltkText, LabelsShowTheirAtSignsAsTheyAre) {
    EXPECT_EQ(ui::fltk::labelText("@Demo x"), "@@Demo x");
    EXPECT_EQ(ui::fltk::labelText("/home/u/R&D/lib@2"), "/home/u/R&D/lib@@2");
    EXPECT_EQ(ui::fltk::labelText("a@@b"), "a@@@@b");
    EXPECT_EQ(ui::fltk::labelText("&OK"), "&OK");  // the mnemonic stays the label's
    // a drop-down entry as add() takes it: no submenu, escape or divider either
    EXPECT_EQ(ui::fltk::choiceEntryText("_a/b\\c@"), "\\_a\\/b\\\\c@@");
}

TEST(FltkText, AMessageBoxTextFitsFiveEighthsOfTheScreen) {
    EXPECT_EQ(ui::fltk::messageTextLimit(1024), 640);
    // A tool home of 638 characters in one word: every line fits, and nothing is lost.
    const std::string home = "/opt/" + std::string(633, 'x');
    const std::string text = "The tool home " + home + " holds no integration.";
    const std::string wrapped = wrapText(text, 640, sevenEach);
    std::size_t start = 0, lines = 0;
    std::string joined;
    while (start <= wrapped.size()) {
        const std::size_t nl = wrapped.find('\n', start);
        const std::string line = wrapped.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        EXPECT_LE(sevenEach(line), 640) << line;
        joined += line;
        ++lines;
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
    EXPECT_GE(lines, 8u);
    std::string withoutBlanks = text;
    std::erase(withoutBlanks, ' ');
    std::erase(joined, ' ');
    EXPECT_EQ(joined, withoutBlanks);
}

TEST(FltkText, AMessageBoxWithItsButtonFitsOnTheScreen) {
    // 96 DPI: base units 6 by 13; a text as wide as it may be on a 1,024
    // pixel screen, eight lines high, beside a 32 pixel icon.
    const ui::fltk::BaseUnits b{6, 13};
    const auto m = ui::fltk::messageBoxLayout(ui::fltk::messageTextLimit(1024), 8 * 13, 32, b);
    EXPECT_LE(ui::fltk::pixelsX(m.cx, b), 1024);
    EXPECT_LE(ui::fltk::pixelsX(m.button.x + m.button.cx, b), ui::fltk::pixelsX(m.cx, b));
    EXPECT_LE(m.cx - (m.button.x * 2 + m.button.cx), 1);  // centred, to the dialog unit
    EXPECT_GE(m.text.x, m.icon.x + m.icon.cx);
    EXPECT_GE(ui::fltk::pixelsY(m.text.cy, b), 8 * 13);
    EXPECT_GT(m.button.y, m.text.y + m.text.cy - 1);
    // a short text sits in the middle of the icon's height
    const auto small = ui::fltk::messageBoxLayout(30, 13, 32, b);
    EXPECT_LE(std::abs((small.text.y * 2 + small.text.cy) - (small.icon.y * 2 + small.icon.cy)), 1);
}

TEST(FltkText, MessageLinesBreakAtBlanksAndKeepTheirOwnBreaks) {
    EXPECT_EQ(wrapText("short text", 640, sevenEach), "short text");
    EXPECT_EQ(wrapText("aaa bbb ccc", 7 * 7, sevenEach), "aaa bbb\nccc");
    EXPECT_EQ(wrapText("one\r\ntwo\n\nthree", 640, sevenEach), "one\ntwo\n\nthree");
    EXPECT_EQ(wrapText("abcdefghij", 4 * 7, sevenEach), "abcd\nefgh\nij");
    EXPECT_EQ(wrapText("ab abcdefghij", 4 * 7, sevenEach), "ab\nabcd\nefgh\nij");
    EXPECT_EQ(wrapText("", 640, sevenEach), "");
}

}  // namespace
