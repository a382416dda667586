// Stand-ins for a vszeb-fltk.so that does not belong to the program beside
// it: built with FOREIGN_STAMP, it carries that stamp (another build's), with
// FOREIGN_OWN_STAMP the program's own; without either, none (a build from
// before stamps). Without FOREIGN_ENTRY it
// lacks the entry point. Its entry point crashes, as calling a module of
// other classes would: the program must never reach it.
#include <cstdlib>

#ifdef FOREIGN_OWN_STAMP
#include "ui/fltk/interface.h"
#define FOREIGN_STAMP VSZEB_FLTK_INTERFACE
#endif

#ifdef FOREIGN_STAMP
extern "C" __attribute__((visibility("default"))) const char vszebFltkInterface[] = FOREIGN_STAMP;
#endif

#ifdef FOREIGN_ENTRY
extern "C" __attribute__((visibility("default"))) void* vszebFltkBackend(void*) { std::abort(); }
#endif
