// The application object: its start-up routine is the program's only entry.
#pragma once

#include "ui/ui.h"

class CvsZEBApp : public ui::App {
public:
    // Reads the command line, checks the installation, prints the working
    // directory and runs the dialog of the operation. Returns false on every
    // path, so the program ends when it returns.
    bool initInstance() override;
};
