// The FLTK back end's rules that need no toolkit: how a template's dialog
// units become pixels on an X screen, and how the framework's file filter
// becomes FLTK's.
#pragma once

#include <string>
#include <string_view>

namespace ui::fltk {

// The X server's resolution for fonts: Xft.dpi from its resource database
// (the text of the RESOURCE_MANAGER property); 96 when it names none.
double xftDpi(std::string_view resources);

// The pixel size of a font of `points` at `dpi`.
int fontPixels(int points, double dpi);

// A dialog's base units, as Windows takes them from the dialog's font: the
// average width of the 52 Latin letters and the font's height.
struct BaseUnits {
    int x = 0, y = 0;
};
BaseUnits baseUnits(int widthOfAlphabet, int fontHeight);

// Dialog units to pixels, rounded as MapDialogRect rounds.
int pixelsX(int dialogUnits, BaseUnits b);
int pixelsY(int dialogUnits, BaseUnits b);
// Pixels to the dialog units that hold them (rounded up).
int dialogUnitsX(int pixels, BaseUnits b);
int dialogUnitsY(int pixels, BaseUnits b);

// A message box laid out around its text as Windows lays one out, all in
// dialog units: the icon, the text beside it (centred on the icon when it is
// shorter), the OK button centred below, and the box's size.
struct Rect {
    int x = 0, y = 0, cx = 0, cy = 0;
};
struct MessageBoxLayout {
    Rect icon, text, button;
    int cx = 0, cy = 0;
};
MessageBoxLayout messageBoxLayout(int textWidthPixels, int textHeightPixels, int iconPixels, BaseUnits b);

// "Name|*.a;*.b|All|*.*||" as FLTK's chooser takes it: "Name\t*.{a,b}\nAll\t*".
// A filter that shows no file of every name gets "All files" after its own.
std::string chooserFilter(std::string_view filter);

}  // namespace ui::fltk
