// What the FLTK back end asks of the X server itself, where FLTK has no call
// for it: the display and its resolution, the focus and the window manager's
// moves, and the end of the connection. The only file with X11 headers.
#pragma once

#include <functional>
#include <string>

class Fl_Window;

namespace ui::fltk::x11 {

// Opens the display for FLTK; false when it cannot be opened.
bool openDisplay(const std::string& name);
// The server's resolution for fonts (Xft.dpi), 96 when it names none.
double fontDpi();

// Raises the window and gives it the keyboard focus, with a window manager
// or without one.
void raiseAndFocus(Fl_Window& w);
// Asks the window manager to let the person move the window with the keys.
void startKeyboardMove(Fl_Window& w);

// `lost` runs when the connection to the X server breaks (the server was
// killed, the session ended), with the display's name; it must not return,
// since Xlib ends the process when it does. Xlib's handler takes no data
// of ours, so this is the one place that keeps `lost` for it.
void whenDisplayLost(std::function<void(const std::string& display)> lost);

}  // namespace ui::fltk::x11
