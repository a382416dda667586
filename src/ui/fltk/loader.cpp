// Registers the FLTK back end. Its code lives in a module that is loaded only
// when this back end is chosen, so headless runs never load FLTK or X.
#include <memory>
#include <string>
#include <string_view>

#include "sys/files.h"
#include "sys/module.h"
#include "ui/backend.h"
#include "ui/fltk/module.h"
#include "ui/messages.h"

namespace ui {

namespace {

std::unique_ptr<Backend> loadFltkBackend(std::string& error) {
    const std::string programDir = sys::programDirectory();
    // The installed layout first, then the build tree, where the module is
    // beside the program.
    const std::string candidates[] = {
        sys::joinPath(sys::joinPath(programDir, VSZEB_MODULE_FROM_BIN), kFltkModuleFile),
        sys::joinPath(programDir, kFltkModuleFile),
    };
    for (const std::string& path : candidates) {
        if (!sys::fileExists(path)) continue;
        std::string why;
        void* module = sys::loadModule(path, why);
        if (!module) {
            error = msg::cannotLoadBackend("fltk", why);
            return nullptr;
        }
        // The stamp first: nothing of a module built for other classes may run.
        const auto* stamp = static_cast<const char*>(sys::moduleSymbol(module, kFltkModuleStamp));
        if (!stamp || std::string_view(stamp) != VSZEB_FLTK_INTERFACE) {
            error = msg::cannotLoadBackend("fltk", msg::moduleOfOtherBuild(path));
            return nullptr;
        }
        const auto entry = reinterpret_cast<FltkModuleEntry>(sys::moduleSymbol(module, kFltkModuleEntry));
        if (!entry) {
            error = msg::cannotLoadBackend("fltk", msg::moduleWithoutEntry(path, kFltkModuleEntry));
            return nullptr;
        }
        return std::unique_ptr<Backend>(entry(error));
    }
    error = msg::cannotLoadBackend("fltk", msg::moduleNotFound(kFltkModuleFile, candidates[0]));
    return nullptr;
}

const BackendRegistration kRegistration({"fltk", loadFltkBackend, [](bool displaySet) { return displaySet; }});

}  // namespace

}  // namespace ui
