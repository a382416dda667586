// The module's exports (see ui/fltk/module.h): the stamp of the interface it
// was built for, and the entry point that opens the display and makes the
// back end.
#include <string>

#include "sys/env.h"
#include "ui/fltk/backend.h"
#include "ui/fltk/module.h"
#include "ui/fltk/x11.h"
#include "ui/messages.h"

extern "C" __attribute__((visibility("default"))) const char vszebFltkInterface[] = VSZEB_FLTK_INTERFACE;

extern "C" __attribute__((visibility("default"))) ui::Backend* vszebFltkBackend(std::string& error) {
    const std::string display = sys::getEnv("DISPLAY");
    if (!ui::fltk::x11::openDisplay(display)) {
        error = ui::msg::cannotOpenDisplay(display);
        return nullptr;
    }
    return new ui::fltk::FltkBackend(ui::fltk::x11::fontDpi());
}
