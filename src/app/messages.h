// Every text that start-up and the shared dialog services show the user.
#pragma once

#include <string>
#include <string_view>

#include "sys/messages.h"

namespace app::msg {

// Captions of the IDE error box, by IDE code.
inline constexpr std::string_view kCaptionVisualStudio = "ZEB++/Visual Studio";
inline constexpr std::string_view kCaptionCodeWarrior = "ZEB++/CodeWarrior";
inline constexpr std::string_view kCaptionCarbide = "ZEB++/Carbide.c++";
inline constexpr std::string_view kCaptionEclipse = "ZEB++/Eclipse";
inline constexpr std::string_view kCaptionUVision = "ZEB++/uVision";
inline constexpr std::string_view kCaptionUnknownIde = "ZEB++/Unknown IDE";

inline constexpr std::string_view kWorkingAt = "Working at ";
inline constexpr std::string_view kUnknownIdeProject = "Unknown IDE project.";
inline constexpr std::string_view kErrorPrefix = "*** Error: ";
inline constexpr std::string_view kWrapDirMustBeSet = "Environment variable ZEBWRAPDIR must be set.";
inline constexpr std::string_view kKeilNotInstalled = "Keil/ARMCC not installed.";
inline constexpr std::string_view kSelectProject = "Please select the project to operate on.";

inline std::string fileDoesNotExist(std::string_view path) {
    return "File " + std::string(path) + " does not exist.";
}

inline std::string errorLine(std::string_view message) {
    return std::string(kErrorPrefix) + std::string(message);
}

// The report hook gets the project name inside double quotes; a quote in the
// name would end them early and let the rest of the name run as a command.
inline std::string projectNameHasQuote(std::string_view name) {
    return sys::msg::notOneWord(sys::msg::kProjectName, name);
}

// The project's files are named after the project and kept in its directory;
// a name that is a path would put them elsewhere.
inline std::string projectNameIsPath(std::string_view name) {
    return errorLine("The project name " + std::string(name) +
                     " is a path, but the project's files must stay in its directory.");
}

inline constexpr std::string_view kNoCurrentDirectory = "The current directory cannot be read.";

}  // namespace app::msg
