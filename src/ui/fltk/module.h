// The FLTK back end's module, as the program sees it: the file, the stamp of
// the interface it was built for and the one function that it exports. No
// FLTK header: the program includes this.
#pragma once

#include <string>

#include "ui/fltk/interface.h"  // VSZEB_FLTK_INTERFACE, made by the build

namespace ui {

class Backend;

inline constexpr const char* kFltkModuleFile = "vszeb-fltk.so";
inline constexpr const char* kFltkModuleEntry = "vszebFltkBackend";
// A character array holding VSZEB_FLTK_INTERFACE as the module was built.
// The program compares it with its own before it calls anything of the
// module: a module of another build has other classes behind the same names,
// and calling it would crash.
inline constexpr const char* kFltkModuleStamp = "vszebFltkInterface";

// Opens the X display and makes the back end; nullptr with the reason in
// `error` when there is no display to show windows on.
using FltkModuleEntry = Backend* (*)(std::string& error);

}  // namespace ui
