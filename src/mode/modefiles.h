// Where a project's instrumentation mode lives on disk: the mode directory,
// the mode marker and the options file zebopts.rsp.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "mode/options.h"

namespace mode {

inline constexpr const char* kOptionsFileName = "zebopts.rsp";
inline constexpr const char* kUVisionMarkerName = "zebmodeon.txt";
inline constexpr const char* kWrapperMarkerName = "zeb.exe";

// uVision: the first Keil tool directory (nothing when there is none);
// every other IDE: ZEBWRAPDIR as it is set at this moment.
std::optional<std::string> modeDirectory(int ideKind, const std::vector<std::string>& keilToolDirs);

// The file whose existence means the mode is ON.
std::string modeMarkerPath(int ideKind, const std::string& modeDir);

// True when the mode marker can be opened for reading.
bool testMode(int ideKind, const std::string& modeDir);

// The settings of zebopts.rsp in the mode directory; the defaults when it
// cannot be opened or read.
InstrumentationSettings readSettings(const std::string& modeDir);

// What became of the options line meant for zebopts.rsp.
struct OptionsWrite {
    std::string path;                  // the options file in the mode directory
    std::string line;                  // the line of the settings
    std::optional<std::string> fault;  // why the file could not be replaced; nothing when it was
};

// Replaces zebopts.rsp with the line of the settings; when that fails the old
// file is kept and the fault says why.
OptionsWrite writeSettings(const std::string& modeDir, const InstrumentationSettings& settings);

// IDEs other than uVision: creates the wrapper directory (one level); a
// failure, such as an existing directory, is of no interest.
void prepareWrapperDirectory(int ideKind);

}  // namespace mode
