#include "ui/fltk/x11.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>

#include "ui/fltk/layout.h"

namespace ui::fltk::x11 {

namespace {

std::string g_displayName;
std::function<void(const std::string&)> g_lost;

int displayLost(Display*) {
    if (g_lost) g_lost(g_displayName);
    std::_Exit(0);  // not reached: `lost` ends the process
}

}  // namespace

bool openDisplay(const std::string& name) {
    Display* d = name.empty() ? nullptr : XOpenDisplay(name.c_str());
    if (!d) return false;
    g_displayName = name;
    fl_open_display(d);
    // FLTK's own handler, which fl_open_display has just installed, would
    // print to standard error and exit with 1.
    XSetIOErrorHandler(&displayLost);
    return true;
}

double fontDpi() {
    const char* text = XResourceManagerString(fl_display);
    return xftDpi(text ? text : "");
}

void whenDisplayLost(std::function<void(const std::string& display)> lost) { g_lost = std::move(lost); }

// Asks the window manager to let the person move the window with the
// arrow keys (_NET_WM_MOVERESIZE, keyboard move), as Windows' Move does;
// without a window manager nothing moves, and the dialog goes on as it was.
void startKeyboardMove(Fl_Window& w) {
    const ::Window xid = fl_xid(&w);
    if (!xid) return;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = XInternAtom(fl_display, "_NET_WM_MOVERESIZE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = w.x_root() + w.w() / 2;
    e.xclient.data.l[1] = w.y_root() + w.h() / 2;
    e.xclient.data.l[2] = 10;  // _NET_WM_MOVERESIZE_MOVE_KEYBOARD
    e.xclient.data.l[3] = 0;
    e.xclient.data.l[4] = 1;  // from an application
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XFlush(fl_display);
}

// A window manager gives the focus when asked with _NET_ACTIVE_WINDOW;
// without one, the window takes it itself.
void raiseAndFocus(Fl_Window& w) {
    const ::Window xid = fl_xid(&w);
    if (!xid) return;
    XRaiseWindow(fl_display, xid);
    const Atom active = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = active;
    e.xclient.format = 32;
    e.xclient.data.l[0] = 1;  // from an application
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSetInputFocus(fl_display, xid, RevertToParent, CurrentTime);
    XFlush(fl_display);
}

}  // namespace ui::fltk::x11
