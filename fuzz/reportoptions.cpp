// The Report dialog's option texts as the user types them, the threshold
// text, and the heads of the symbol and data files.
#include "report/reportoptions.h"
#include "report/settings.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <sstream>

#include "sys/text.h"

#include "check.h"

namespace {

bool isWordOf(std::string_view text, std::string_view word) {
    const std::vector<std::string_view> words = sys::splitWords(text);
    return std::find(words.begin(), words.end(), word) != words.end();
}

// The value by the standard conversion: leading digits only, the largest
// value when they do not fit.
unsigned expectedLeadingValue(std::string_view text) {
    const std::size_t digits = std::min(text.find_first_not_of("0123456789"), text.size());
    if (digits == 0) return 0;
    unsigned value = 0;
    const auto result = std::from_chars(text.data(), text.data() + digits, value);
    return result.ec == std::errc::result_out_of_range ? std::numeric_limits<unsigned>::max() : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    const std::string text(input);

    // A refused option is one of the words the user typed.
    const report::OptionCheck zebpost = report::checkZebpostOptions(text);
    if (!zebpost.ok()) FUZZ_CHECK(zebpost.rejectedWord->starts_with('-') && isWordOf(text, *zebpost.rejectedWord));

    const std::string dirBefore = "dir before", startBefore = "start before";
    std::string dir = dirBefore, start = startBefore;
    const report::OptionCheck zeb2html = report::checkZeb2htmlOptions(text, dir, start);
    if (!zeb2html.ok()) {
        FUZZ_CHECK(zeb2html.rejectedWord->starts_with('-') && isWordOf(text, *zeb2html.rejectedWord));
        FUZZ_CHECK(dir == dirBefore && start == startBefore);
    } else {
        // A start page name is one word of the options; a directory has lost
        // its quotes.
        if (start != startBefore) FUZZ_CHECK(isWordOf(text, start));
        if (dir != dirBefore) FUZZ_CHECK(dir.find('"') == std::string::npos);
    }

    FUZZ_CHECK(report::leadingDecimalValue(input) == expectedLeadingValue(input));

    // The status lines never fail on what the files hold.
    std::istringstream symFile{text};
    report::symFileStatusText(report::readLines(symFile, 2, 99));
    report::datFileStatusText(input);
    return 0;
}
