// Loading a part of the program that lives in a shared library of its own,
// so that what only some runs need (a windowing toolkit) costs the others
// nothing at start-up.
#pragma once

#include <string>

namespace sys {

// The directory that holds the running program, without a trailing
// separator; empty when the system does not say.
std::string programDirectory();

// Loads the shared library at `path` with all its symbols bound now; nullptr
// and the system's reason in `error` when it cannot be loaded.
void* loadModule(const std::string& path, std::string& error);

// The address of an exported function of a loaded module; nullptr when it has none.
void* moduleSymbol(void* module, const char* name);

}  // namespace sys
