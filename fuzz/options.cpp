// The options line of zebopts.rsp as the Set dialog reads it, and the text
// of its options box as the dialog takes it.
#include "mode/options.h"

#include "check.h"

namespace {

using mode::InstrumentationSettings;

bool hasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// What the file keeps of a line we wrote: the writer's text-mode line end,
// then the reader's limits.
InstrumentationSettings readBack(const std::string& line) {
    return mode::parseOptionsLine(mode::firstLine(line + "\r\n"));
}

bool fitsTheReader(const std::string& line) {
    return line.size() <= mode::kMaxLineChars && line.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);

    // Read, write, read: the same settings, and the written line is stable.
    const std::string line = mode::firstLine(input);
    FUZZ_CHECK(line.size() <= mode::kMaxLineChars);
    FUZZ_CHECK(line.find_first_of(std::string_view("\n\0", 2)) == std::string::npos);
    const InstrumentationSettings read = mode::parseOptionsLine(line);
    const std::string written = mode::formatOptionsLine(read);
    FUZZ_CHECK(mode::parseOptionsLine(written) == read);
    FUZZ_CHECK(mode::formatOptionsLine(mode::parseOptionsLine(written)) == written);
    if (fitsTheReader(written)) FUZZ_CHECK(readBack(written) == read);

    // The box text: one trimmed line, and an accepted text comes back from
    // the file as it was saved, whatever level and timing go with it.
    const std::string cleaned = mode::cleanOptionsText(input);
    FUZZ_CHECK(!hasLineBreak(cleaned));
    FUZZ_CHECK(mode::cleanOptionsText(cleaned) == cleaned);
    const std::optional<std::string> rejected = mode::rejectedOption(cleaned);
    if (rejected) {
        FUZZ_CHECK(*rejected == "-i" || *rejected == "-h");
        return 0;
    }
    InstrumentationSettings chosen;
    const std::uint8_t choice = size > 0 ? data[0] : 0;
    chosen.level = static_cast<mode::CoverageLevel>(choice % 3);
    chosen.timing = (choice & 4) != 0;
    chosen.inclusive = !chosen.timing || (choice & 8) != 0;
    chosen.additionalOptions = cleaned;
    const std::string saved = mode::formatOptionsLine(chosen);
    FUZZ_CHECK(mode::parseOptionsLine(saved) == chosen);
    if (fitsTheReader(saved)) FUZZ_CHECK(readBack(saved) == chosen);
    return 0;
}
