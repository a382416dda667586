// Framework services outside a dialog: message boxes, the file-open dialog,
// resources and the application object.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "ui/dialog.h"

namespace ui {

enum class MessageIcon { Error, Exclamation };

// A message box with one OK button, task-modal, no owner window. Returns when
// the user has closed it.
void messageBox(std::string_view text, std::string_view caption, MessageIcon icon = MessageIcon::Error);

struct FileDialogOptions {
    std::string defaultExtension;  // without the dot
    std::string initialName;
    std::string filter;            // "Name|*.a;*.b|Name 2|*.*||"
    std::string title;
    bool fileMustExist = true;
    bool noChangeDirectory = true;
    bool hideReadOnly = true;
};

// The platform's file-open dialog; the full path chosen, or nothing when cancelled.
std::optional<std::string> openFileDialog(const FileDialogOptions& options);

Icon loadIcon(int resourceId);
std::string_view loadString(int resourceId);

// The application object. run() prepares the framework (back end, script),
// calls initInstance() once and ends the program when it returns: there is
// no main message loop besides the modal dialogs' own.
class App {
public:
    virtual ~App() = default;
    // Per-instance start-up; returning false ends the program.
    virtual bool initInstance() = 0;

    // Returns the process exit status: 0, or 3 for a failed script.
    int run(int argc, char** argv);

    const std::string& commandLine() const { return commandLine_; }
    std::string appName = "vsZEB";  // caption of the framework's own message boxes
    Dialog* mainWindow = nullptr;

private:
    std::string commandLine_;
};

App* currentApp();

}  // namespace ui
