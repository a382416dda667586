// The instrumentation options line of zebopts.rsp and the texts built from
// the Set dialog's choices. Pure functions: no disk, no window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mode {

enum class CoverageLevel { Function, Decision, Multicondition };

struct InstrumentationSettings {
    CoverageLevel level = CoverageLevel::Decision;
    bool timing = false;
    bool inclusive = true;  // kept while timing is off, written only while it is on
    std::string additionalOptions;

    friend bool operator==(const InstrumentationSettings&, const InstrumentationSettings&) = default;
};

// Lines of our files are read into 1000-byte buffers.
inline constexpr std::size_t kMaxLineChars = 999;

// The first line of a file's bytes as a C line reader sees it: at most 999
// characters, up to the first line feed, and ending at the first NUL byte.
// A carriage return before the line feed stays (trimming removes it later).
std::string firstLine(std::string_view content);

// The four settings from the first line of zebopts.rsp.
InstrumentationSettings parseOptionsLine(std::string_view line);

// The options line for the settings (no line end).
std::string formatOptionsLine(const InstrumentationSettings& settings);

// The options box text as one line: carriage returns dropped, line feeds
// become blanks, trimmed.
std::string cleanOptionsText(std::string_view boxText);

// The first word of the cleaned additional options that the Set dialog
// refuses ("-i" or "-h": the level and timing come from the buttons), or
// nothing when the text is accepted.
std::optional<std::string> rejectedOption(std::string_view cleaned);

// "zebwrap" with the arguments that switch the mode; uVision names its mode
// directory, quoted when it holds a blank or a character the interpreter acts
// on. Nothing when the directory cannot be put into a command (see
// sys::commandWord).
std::optional<std::string> zebwrapCommand(bool modeOn, bool uVision, std::string_view modeDir);

// The interpreter's delete command for one file, its path in quotes; nothing
// when the path cannot be put into a command.
std::optional<std::string> deleteCommand(std::string_view path);

}  // namespace mode
