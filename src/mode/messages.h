// Every text that the Set dialog shows or prints.
#pragma once

#include <string>
#include <string_view>

namespace mode::msg {

inline constexpr std::string_view kModeIsOn = "ZEB++ Mode is ON";
inline constexpr std::string_view kModeIsOff = "ZEB++ Mode is OFF";
inline constexpr std::string_view kModeWillBeSetOn = "ZEB++ Mode will be set ON";
inline constexpr std::string_view kModeWillBeSetOff = "ZEB++ Mode will be set OFF";
inline constexpr std::string_view kModeIsSetOn = "ZEB++ Mode is set ON";
inline constexpr std::string_view kModeIsSetOff = "ZEB++ Mode is set OFF";
inline constexpr std::string_view kBuildsWithZeb = "Builds are with ZEB++ using instrumentation options: ";
inline constexpr std::string_view kBuildsNormal = "Builds are normal, without ZEB++";
inline constexpr std::string_view kSetModeError = "*** ZEB++ Set Mode Error";
// uVision without a Keil tool directory has no place for its mode files.
inline constexpr std::string_view kKeilNotInstalled = "*** Error: Keil/ARMCC not installed.";

// zebopts.rsp could not be replaced: the builds go on reading what it held.
inline std::string optionsNotWritten(std::string_view path, std::string_view reason) {
    return "*** Error: The instrumentation options could not be written to " + std::string(path) + ": " +
           std::string(reason);
}

// The two-line text of the box that rejects an additional option.
inline std::string optionNotAllowed(std::string_view word) {
    std::string text = "zeb option ";
    text += word;
    text += " not allowed\n";
    text += "in Additional/advanced options.";
    return text;
}

}  // namespace mode::msg
