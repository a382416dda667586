// The FLTK back end's text rules that need no toolkit: how the program's
// texts become what FLTK draws (FLTK reads markup in labels and menu
// entries that Windows shows as it is), and how a message box breaks its
// text into lines.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace ui::fltk {

// A label as FLTK must be given it to show `text` as it is: FLTK draws "@"
// and a name as a symbol ("@Demo" shows an arrow, "lib@2" one at the end),
// "@@" as one "@". '&' keeps its meaning (a mnemonic, "&&" for one).
std::string labelText(std::string_view text);

// An entry of a drop-down list as Fl_Menu_::add() takes it: '/' would start
// a submenu, '\\' an escape, a leading '_' a divider; then as a label.
std::string choiceEntryText(std::string_view text);

// A multi-line edit shows "\n" where the program's texts have "\r\n".
std::string toEditorText(std::string_view text);
std::string fromEditorText(std::string_view text);

// How wide a message box's text may be on a screen this wide, as Windows
// takes it: about five eighths of the screen's width.
int messageTextLimit(int screenWidth);

// `text` broken into lines that are at most `limit` wide as `width` measures
// them, as a message box breaks its text: the text's own line breaks stay,
// a line breaks at the last blank that lets it fit (the blank goes), and a
// word too wide for a line of its own is broken where it reaches the edge.
std::string wrapText(std::string_view text, int limit, const std::function<int(std::string_view)>& width);

}  // namespace ui::fltk
