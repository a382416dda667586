// UI scripts, as the headless mode and the tests read them.
#include "ui/script.h"

#include <algorithm>

#include "check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::text(data, size);
    const ui::ParsedScript parsed = ui::parseScript(text);
    if (parsed.error) {
        // The error names a line of the text and nothing of the script is kept.
        FUZZ_CHECK(parsed.error->line >= 1);
        FUZZ_CHECK(static_cast<std::size_t>(parsed.error->line) <=
                   static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        FUZZ_CHECK(parsed.script.actions.empty());
        return 0;
    }
    int line = 0;
    for (const ui::ScriptAction& action : parsed.script.actions) {
        FUZZ_CHECK(action.line > line && action.line <= parsed.script.lineCount);
        line = action.line;
        // Every string the script held comes back from its quoted form.
        for (const std::string& string : action.strings) {
            const ui::ParsedScript quoted = ui::parseScript("type 1 " + ui::quoteScriptString(string));
            FUZZ_CHECK(!quoted.error && quoted.script.actions.size() == 1);
            FUZZ_CHECK(quoted.script.actions[0].strings == std::vector<std::string>{string});
        }
    }
    return 0;
}
