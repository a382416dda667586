// The least that an FLTK program shows: one empty window, of the Report
// dialog's size at 96 DPI, and the event loop. bench/startup.sh measures how
// long it takes to map, as the floor of any FLTK dialog's start-up.
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

int main() {
    Fl_Window window(465, 575, "bare FLTK window");
    window.xclass("fltkbare");
    window.end();
    window.show();
    return Fl::run();
}
