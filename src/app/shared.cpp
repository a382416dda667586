#include "app/shared.h"

#include "app/about.h"
#include "app/messages.h"
#include "res/resources.h"
#include "sys/command.h"
#include "sys/console.h"
#include "sys/env.h"
#include "sys/files.h"
#include "sys/messages.h"
#include "sys/text.h"
#include "ui/ui.h"

namespace app {

std::string_view ideCaption(std::string_view ideCode) {
    if (ideCode == "vs") return msg::kCaptionVisualStudio;
    if (ideCode == "cw") return msg::kCaptionCodeWarrior;
    if (ideCode == "ca") return msg::kCaptionCarbide;
    if (ideCode == "ec") return msg::kCaptionEclipse;
    if (ideCode == "uv") return msg::kCaptionUVision;
    return msg::kCaptionUnknownIde;
}

void showIdeError(std::string_view message, std::string_view ideCode) {
    ui::messageBox(message, ideCaption(ideCode), ui::MessageIcon::Error);
}

std::string helpDirectory(std::string_view zebHome) { return sys::joinPath(zebHome, "Vs_integ"); }

std::optional<std::string> helpCommand(std::string_view zebHome) {
    // The tool home goes inside the quotes unchanged, blanks and a trailing
    // separator included.
    const std::optional<std::string> dir = sys::quotedCommandWord(helpDirectory(zebHome));
    if (!dir) return std::nullopt;
    return sys::concat({"start /D", *dir, " vsZEBhelp.bat"});
}

void showHelp() {
    // Read at every press: the help follows the installation as it is now.
    const std::string zebHome = sys::getEnv("ZEBHOME");
    if (const std::optional<std::string> command = helpCommand(zebHome))
        sys::runCommand(*command);
    else
        sys::writeLine(sys::msg::notOneWord(sys::msg::kPath, helpDirectory(zebHome)));
}

void addAboutEntryAndIcon(ui::Dialog& dlg, ui::Icon icon) {
    if (dlg.hasSystemMenu()) {
        std::string_view about = ui::loadString(res::IDS_ABOUTBOX);
        if (!about.empty()) {
            dlg.appendSystemMenuSeparator();
            dlg.appendSystemMenuItem(res::IDM_ABOUTBOX, about);
        }
    }
    dlg.setIcon(icon, true);
    dlg.setIcon(icon, false);
}

void handleSysCommand(ui::Dialog& dlg, unsigned command) {
    if ((command & 0xFFF0u) == res::IDM_ABOUTBOX) {
        CAboutDlg about;
        about.doModal();
    } else {
        dlg.defaultSysCommand(command);
    }
}

}  // namespace app
