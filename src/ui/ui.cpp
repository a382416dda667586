// Framework services and the application object's run: back end, script,
// the one call of initInstance().
#include "ui/ui.h"

#include <memory>

#include "res/resources.h"
#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "ui/backend.h"
#include "ui/messages.h"
#include "ui/script.h"

namespace ui {

namespace {
App* g_app = nullptr;
}

void messageBox(std::string_view text, std::string_view caption, MessageIcon icon) {
    Backend& b = backend();
    if (ScriptDriver* driver = b.script()) {
        driver->answerMessageBox(caption, text);
        return;
    }
    b.messageBox(text, caption, icon);
}

std::optional<std::string> openFileDialog(const FileDialogOptions& options) {
    Backend& b = backend();
    if (ScriptDriver* driver = b.script()) return driver->answerFileDialog(options);
    return b.openFileDialog(options);
}

Icon loadIcon(int resourceId) { return res::iconImages(resourceId).empty() ? Icon{} : Icon{resourceId}; }

std::string_view loadString(int resourceId) { return res::loadString(resourceId); }

App* currentApp() { return g_app; }

int App::run(int argc, char** argv) {
    g_app = this;
    commandLine_ = sys::commandLineTail(argc, argv);

    // Without a back end nothing can be shown: the error line is all there
    // is. A script that was given cannot run then, which is its failure, so
    // that a build server sees the status it waits for.
    const std::string scriptPath = sys::getEnv("VSZEB_SCRIPT");
    auto cannotShow = [&](const std::string& why) {
        sys::writeLine(std::string(msg::kErrorPrefix) + why);
        if (scriptPath.empty()) return 0;
        failScriptBeforeItRuns(msg::scriptCannotRun(why));
    };
    const std::vector<BackendFactory> available = availableBackends();
    const BackendChoice choice = chooseBackend(available, sys::getEnv("VSZEB_UI"), !sys::getEnv("DISPLAY").empty());
    if (!choice.factory) return cannotShow(choice.error);
    std::string why;
    const std::unique_ptr<Backend> shown = choice.factory->make(why);
    if (!shown) return cannotShow(why);
    Backend* previous = setBackend(shown.get());

    std::unique_ptr<ScriptDriver> driver;
    if (const std::string path = sys::getEnv("VSZEB_SCRIPT"); !path.empty()) {
        driver = std::make_unique<ScriptDriver>(*shown, Script{});
        const std::optional<std::string> text = sys::readFile(path);
        if (!text) driver->fail(0, msg::cannotReadScript(path));
        ParsedScript parsed = parseScript(*text);
        if (parsed.error) driver->fail(parsed.error->line, parsed.error->message);
        driver = std::make_unique<ScriptDriver>(*shown, std::move(parsed.script));
        shown->setScript(driver.get());
    }

    initInstance();
    if (driver) driver->programEnded();
    setBackend(previous);
    return 0;
}

}  // namespace ui
