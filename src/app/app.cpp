#include "app/app.h"

#include <optional>
#include <string>
#include <vector>

#include "app/about.h"
#include "app/launch.h"
#include "app/messages.h"
#include "app/reportrun.h"
#include "app/shared.h"
#include "app/startup.h"
#include "mode/setdlg.h"
#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "sys/text.h"

namespace {

enum class Reporting { Line, Box };

// CodeWarrior and unknown IDEs show start-up errors in a box; the others
// read them in their output window.
void reportError(Reporting how, std::string_view message, std::string_view ideCode) {
    if (how == Reporting::Box)
        app::showIdeError(message, ideCode);
    else
        sys::writeLine(app::msg::errorLine(message));
}

// The installation that the Set operation needs; false when a check failed
// and its error has been reported.
bool checkSetInstallation(const std::string& ideCode, const std::string& zebHome,
                          const std::vector<std::string>& keilToolDirs) {
    const std::string wrapDir = sys::getEnv("ZEBWRAPDIR");
    if (ideCode == "uv") {
        // The options file and the mode marker of uVision live in the first
        // Keil tool directory: without one there is nothing the dialog could
        // show or change.
        if (wrapDir.empty() || keilToolDirs.empty()) {
            sys::writeLine(app::msg::errorLine(app::msg::kKeilNotInstalled));
            return false;
        }
        return true;
    }
    const bool outputWindow = ideCode == "vs" || ideCode == "ca" || ideCode == "ec";
    const Reporting how = outputWindow ? Reporting::Line : Reporting::Box;
    if (wrapDir.empty()) {
        reportError(how, app::msg::kWrapDirMustBeSet, ideCode);
        return false;
    }
    const std::string wrapCmds = sys::joinPath(zebHome, "wrapcmds.txt");
    if (!sys::fileExists(wrapCmds)) {
        reportError(how, app::msg::fileDoesNotExist(wrapCmds), ideCode);
        return false;
    }
    return true;
}

}  // namespace

bool CvsZEBApp::initInstance() {
    const std::string zebHome = sys::getEnv("ZEBHOME");

    // Quote characters do not group: a quoted name with a blank is cut there.
    const std::vector<std::string_view> found = sys::splitWords(commandLine(), 3);
    const std::vector<std::string> words(found.begin(), found.end());
    if (words.size() < 2) {
        CAboutDlg about;
        about.doModal();
        return false;
    }
    const std::string& operation = words[0];
    app::LaunchContext ctx;
    ctx.ideCode = words[1];
    const bool isSet = operation == "set";

    if (ctx.ideCode == "uv") ctx.keilToolDirs = app::findKeilToolDirs();

    if (isSet && !checkSetInstallation(ctx.ideCode, zebHome, ctx.keilToolDirs)) return false;

    const std::optional<std::string> projectWord =
        words.size() > 2 ? std::optional<std::string>(words[2]) : std::nullopt;
    const app::ProjectWord project = app::readProjectWord(projectWord, ctx.ideCode);
    ctx.projectName = project.projectName;
    ctx.ideKind = project.ideKind;
    if (!project.known) sys::writeLine(app::msg::kUnknownIdeProject);

    const std::optional<std::string> cwd = sys::currentDirectory();
    if (!cwd) {
        sys::writeLine(app::msg::errorLine(app::msg::kNoCurrentDirectory));
        return false;
    }
    sys::writeLine(std::string(app::msg::kWorkingAt) + *cwd);
    if (sys::namesPath(ctx.projectName)) {
        sys::writeLine(app::msg::projectNameIsPath(ctx.projectName));
        return false;
    }

    if (isSet) {
        ctx.projectDir = app::setDialogDirectory(*cwd);
        CSetDlg dlg(ctx.projectName, ctx.ideKind, ctx.projectDir, ctx.ideCode, ctx.keilToolDirs);
        mainWindow = &dlg;
        dlg.doModal();
        mainWindow = nullptr;
        return false;
    }

    if (ctx.projectName.empty()) {
        if (ctx.ideKind == app::kCodeWarriorNoProject)
            app::showIdeError(app::msg::kSelectProject, ctx.ideCode);
        else
            sys::writeLine(app::msg::errorLine(app::msg::kSelectProject));
        return false;
    }
    if (ctx.projectName.find('"') != std::string::npos) {
        sys::writeLine(app::msg::projectNameHasQuote(ctx.projectName));
        return false;
    }
    ctx.projectDir = app::reportDialogDirectory(*cwd);
    app::runReport(ctx, zebHome);
    return false;
}
