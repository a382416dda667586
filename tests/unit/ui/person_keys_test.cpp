// The keys that only a person presses (arrows, Shift+Tab, Space, Alt and a
// letter), with the dialog manager's rules that the FLTK back end routes its
// key events into; and that back end's layout and filter rules.
#include <gtest/gtest.h>

#include "testdialog.h"
#include "ui/fltk/layout.h"
#include "ui/headless/headless.h"
#include "ui/managed.h"

namespace {

using uitest::TestDialog;
using Log = std::vector<std::string>;

// Runs `keys` as the dialog's initialisation, with the back end at hand,
// then the script; returns what the dialog was told.
Log withKeys(const std::function<void(ui::ManagedBackend&, TestDialog&)>& keys, const std::string& script) {
    ui::HeadlessSession session(script);
    TestDialog dlg;
    dlg.init = [&](TestDialog& self) {
        keys(session.backend(), self);
        return true;
    };
    dlg.doModal();
    session.finish();
    return dlg.log;
}

TEST(PersonKeys, ArrowsMoveWithinARadioGroupAndSelect) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setCheck(30, true);
            d.setFocus(30);
            EXPECT_TRUE(b.arrowKey(d, true, true));  // 31, which tells the dialog
            EXPECT_TRUE(d.isChecked(31));
            EXPECT_FALSE(d.isChecked(30));
            EXPECT_TRUE(b.arrowKey(d, true, false));
            EXPECT_EQ(d.focusedItem(), 32);
            EXPECT_TRUE(b.arrowKey(d, true, true));  // wraps to 30, not into the next group
            EXPECT_EQ(d.focusedItem(), 30);
            EXPECT_TRUE(b.arrowKey(d, false, true));  // back to 32
            EXPECT_TRUE(d.isChecked(32));
            d.enableItem(31, false);
            EXPECT_TRUE(b.arrowKey(d, false, false));  // over the disabled one to 30
        },
        "expect focus 30\nexpect checked 30 yes\nexpect checked 32 no\nexpect checked 33 no\nclose");
    EXPECT_EQ(log, (Log{"radio"}));
}

TEST(PersonKeys, ArrowsStepADropDownListAndLeaveAnEditAlone) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(40);
            EXPECT_TRUE(b.arrowKey(d, true, true));
            EXPECT_TRUE(b.arrowKey(d, true, false));
            EXPECT_TRUE(b.arrowKey(d, false, true));
            EXPECT_TRUE(b.arrowKey(d, false, true));
            EXPECT_TRUE(b.arrowKey(d, false, true));  // at the first entry: nothing happens
            // an up-down control without arrow keys leaves them to its buddy's caret
            d.setFocus(41);
            EXPECT_FALSE(b.arrowKey(d, true, true));
            d.setFocus(10);
            EXPECT_FALSE(b.arrowKey(d, true, false));
        },
        "expect selected 40 0\nexpect text 41 \"\"\nclose");
    EXPECT_EQ(log, (Log{"sel 0", "sel 1", "sel 0"}));
}

TEST(PersonKeys, ShiftTabGoesBackOverTheEnabledTabStops) {
    withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(10);
            b.backTab(d);  // wraps to the last tab stop
            EXPECT_EQ(d.focusedItem(), 101);
            d.setFocus(20);
            d.enableItem(12, false);
            b.backTab(d);
            EXPECT_EQ(d.focusedItem(), 11);
            // a radio group is entered at its checked button, which has the tab stop
            d.setCheck(31, true);
            d.setFocus(33);
            b.backTab(d);
            EXPECT_EQ(d.focusedItem(), 31);
        },
        "close");
}

TEST(PersonKeys, SpaceClicksTheFocusedButtonOnly) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(20);
            EXPECT_TRUE(b.spaceKey(d));
            d.setFocus(101);
            EXPECT_TRUE(b.spaceKey(d));
            d.setFocus(10);
            EXPECT_FALSE(b.spaceKey(d));  // a blank typed into the edit
        },
        "expect checked 20 yes\nclose");
    EXPECT_EQ(log, (Log{"auto 1", "other"}));
}

TEST(PersonKeys, AltAndALetterClickTheButtonItMarks) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(10);
            EXPECT_TRUE(b.mnemonicKey(d, 'O'));
            EXPECT_EQ(d.focusedItem(), 101);
            EXPECT_TRUE(b.mnemonicKey(d, 'g'));
            EXPECT_FALSE(b.mnemonicKey(d, 'x'));
            d.enableItem(101, false);
            EXPECT_FALSE(b.mnemonicKey(d, 'o'));
            // a text set later marks its own letter
            d.setItemText(21, "&Manual");
            EXPECT_TRUE(b.mnemonicKey(d, 'm'));
        },
        "close");
    EXPECT_EQ(log, (Log{"other", "go", "manual 0"}));
}

TEST(PersonKeys, ADropDownListStaysWithinItsEntries) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(40);
            EXPECT_TRUE(b.homeEndKey(d, true));
            EXPECT_TRUE(b.arrowKey(d, true, true));  // Down on the last entry stays on it
            EXPECT_TRUE(b.arrowKey(d, true, false));
            EXPECT_EQ(d.comboSelection(40), 2);
            EXPECT_TRUE(b.homeEndKey(d, false));
            EXPECT_TRUE(b.homeEndKey(d, false));  // already there: no notification
            // letters: the next entry that begins with one, wrapping, in either case
            EXPECT_TRUE(b.charKey(d, 't'));
            EXPECT_TRUE(b.charKey(d, 'Z'));
            EXPECT_TRUE(b.charKey(d, 'x'));  // no entry begins with it
            EXPECT_EQ(d.comboSelection(40), 0);
            // an edit takes its keys itself
            d.setFocus(10);
            EXPECT_FALSE(b.homeEndKey(d, true));
            EXPECT_FALSE(b.charKey(d, 'o'));
        },
        "expect selected 40 0\nclose");
    EXPECT_EQ(log, (Log{"sel 2", "sel 0", "sel 2", "sel 0"}));
}

TEST(PersonKeys, APlainLetterIsAMnemonicWhereTheFocusTakesNoCharacters) {
    const Log log = withKeys(
        [](ui::ManagedBackend& b, TestDialog& d) {
            d.setFocus(100);
            EXPECT_TRUE(b.charKey(d, 'o'));  // on a push button: clicks &Other
            d.setFocus(20);
            EXPECT_TRUE(b.charKey(d, 'G'));  // on a check box: clicks &Go
            EXPECT_FALSE(b.charKey(d, ' '));  // Space is the button's own
        },
        "close");
    EXPECT_EQ(log, (Log{"other", "go"}));
}

TEST(PersonKeys, TheMnemonicLetterOfAText) {
    EXPECT_EQ(ui::mnemonicOf("&OK"), 'o');
    EXPECT_EQ(ui::mnemonicOf("C&ancel"), 'a');
    EXPECT_EQ(ui::mnemonicOf("Salt && &Pepper"), 'p');
    EXPECT_EQ(ui::mnemonicOf("R&&D"), 0);
    EXPECT_EQ(ui::mnemonicOf("Trailing&"), 0);
    EXPECT_EQ(ui::mnemonicOf(""), 0);
}

TEST(FltkLayout, TheServersDpiFromItsResources) {
    EXPECT_EQ(ui::fltk::xftDpi(""), 96.0);
    EXPECT_EQ(ui::fltk::xftDpi("Xft.dpi:\t192\n"), 192.0);
    EXPECT_EQ(ui::fltk::xftDpi("*background: grey\nXft.antialias: 1\nXft.dpi: 144.5\nXft.hinting: 1\n"), 144.5);
    // what is no resolution leaves the default
    EXPECT_EQ(ui::fltk::xftDpi("Xft.dpi: big\n"), 96.0);
    EXPECT_EQ(ui::fltk::xftDpi("Xft.dpi: 0\n"), 96.0);
    EXPECT_EQ(ui::fltk::xftDpi("Xft.dpix: 200\n"), 96.0);
}

TEST(FltkLayout, DialogUnitsFromTheFontAsWindowsTakesThem) {
    EXPECT_EQ(ui::fltk::fontPixels(8, 96), 11);
    EXPECT_EQ(ui::fltk::fontPixels(8, 192), 21);
    // MS Sans Serif 8 at 96 DPI: 52 letters 312 pixels wide, 13 high
    const ui::fltk::BaseUnits b = ui::fltk::baseUnits(312, 13);
    EXPECT_EQ(b.x, 6);
    EXPECT_EQ(b.y, 13);
    EXPECT_EQ(ui::fltk::pixelsX(310, b), 465);
    EXPECT_EQ(ui::fltk::pixelsY(354, b), 575);  // 575.25
    EXPECT_EQ(ui::fltk::pixelsY(1, b), 2);      // 1.625 rounds up
    EXPECT_EQ(ui::fltk::pixelsX(1, b), 2);      // 1.5 rounds up
    // and back: the units that hold a width
    EXPECT_EQ(ui::fltk::dialogUnitsX(465, b), 310);
    EXPECT_EQ(ui::fltk::dialogUnitsX(466, b), 311);
    EXPECT_EQ(ui::fltk::dialogUnitsY(13, b), 8);
}

TEST(FltkLayout, FileFiltersInTheChoosersForm) {
    EXPECT_EQ(ui::fltk::chooserFilter("Programs|*.exe;*.com|All files|*.*||"),
              "Programs\t*.{exe,com}\nAll files\t*");
    // Windows names alone would hide the programs of this system
    EXPECT_EQ(ui::fltk::chooserFilter("Text|*.txt||"), "Text\t*.txt\nAll files\t*");
    EXPECT_EQ(ui::fltk::chooserFilter("Viewer|viewer; *.sh|"), "Viewer\t*.{viewer,sh}\nAll files\t*");
    EXPECT_EQ(ui::fltk::chooserFilter(""), "");
}

}  // namespace
