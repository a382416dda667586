// Services that the three working dialogs share: the IDE error box, Help,
// and the About entry of the system menu with the application icon.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog.h"

namespace app {

// The caption of error boxes for an IDE code ("ZEB++/Visual Studio", ...,
// "ZEB++/Unknown IDE").
std::string_view ideCaption(std::string_view ideCode);

// An error message box captioned after the IDE code.
void showIdeError(std::string_view message, std::string_view ideCode);

// The directory of the help batch file under a tool home.
std::string helpDirectory(std::string_view zebHome);

// The command that starts the help batch file for a tool home; nothing when
// the directory cannot be put into a command (see sys::commandWord).
std::optional<std::string> helpCommand(std::string_view zebHome);

// Starts the help batch file of the tool home (read from ZEBHOME at each
// press); not waited for, nothing reported about its outcome. A directory
// that cannot be put into the command is an error line instead.
void showHelp();

// Dialog initialisation: the About entry in the system menu, then the
// application icon as the large and the small icon.
void addAboutEntryAndIcon(ui::Dialog& dlg, ui::Icon icon);

// System command of a working dialog: the About entry (low four bits
// ignored) opens the About box; everything else gets the default handling.
void handleSysCommand(ui::Dialog& dlg, unsigned command);

}  // namespace app
