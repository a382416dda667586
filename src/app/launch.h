// The launch context: what start-up gathers from the command line, the
// environment and the registry, and hands to the dialog of the operation.
#pragma once

#include <string>
#include <vector>

namespace app {

// IDE kinds: even values with a project named, the odd value next to each
// for the same IDE without one.
enum IdeKind : int {
    kVisualStudio = 0,
    kVisualStudioNoProject = 1,
    kCodeWarrior = 2,
    kCodeWarriorNoProject = 3,
    kCarbide = 4,
    kCarbideNoProject = 5,
    kEclipse = 6,
    kEclipseNoProject = 7,
    kUVision = 8,
    kUVisionNoProject = 9,
    // Carried after "Unknown IDE project.": no dialog treats it as a known IDE.
    kUnknownIde = -1,
};

inline bool isUVision(int ideKind) { return ideKind == kUVision || ideKind == kUVisionNoProject; }

struct LaunchContext {
    std::string projectName;
    int ideKind = kUnknownIde;
    std::string projectDir;  // display text, shortened
    std::string ideCode;
    std::vector<std::string> keilToolDirs;  // "uv" only; Set dialog only
};

}  // namespace app
