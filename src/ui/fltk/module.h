// The FLTK back end's module, as the program sees it: the file and the one
// function that it exports. No FLTK header: the program includes this.
#pragma once

#include <string>

namespace ui {

class Backend;

inline constexpr const char* kFltkModuleFile = "vszeb-fltk.so";
inline constexpr const char* kFltkModuleEntry = "vszebFltkBackend";

// Opens the X display and makes the back end; nullptr with the reason in
// `error` when there is no display to show windows on.
using FltkModuleEntry = Backend* (*)(std::string& error);

}  // namespace ui
