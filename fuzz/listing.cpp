// The untested listing that zebpost writes, rewritten for the IDE. The
// rewrite reads a file by name, so each input goes to a file first.
#include "report/listing.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "check.h"

namespace {

// One file per process, so that fuzzers running side by side keep apart.
const std::string& listingPath() {
    static const std::string path = [] {
        const std::filesystem::path name =
            std::filesystem::temp_directory_path() /
            ("vszeb-fuzz-listing-" + std::to_string(std::random_device{}()) + ".txt");
        return name.string();
    }();
    return path;
}

struct RemoveAtExit {
    ~RemoveAtExit() { std::remove(listingPath().c_str()); }
};

// The lines as the listing reader hands them out: up to a newline, and
// none from the first one that is too long on.
std::vector<std::string_view> readerLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        if (line.size() > report::ListingLineReader::kMaxLine) break;
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view firstWord(std::string_view line) {
    constexpr std::string_view kSpace(" \t\n\v\f\r");
    const std::size_t begin = line.find_first_not_of(kSpace);
    if (begin == std::string_view::npos) return {};
    line.remove_prefix(begin);
    return line.substr(0, line.find_first_of(kSpace));
}

std::string rewrite(std::string_view input) {
    static RemoveAtExit cleanup;
    {
        std::ofstream file(listingPath(), std::ios::binary | std::ios::trunc);
        file.write(input.data(), static_cast<std::streamsize>(input.size()));
        FUZZ_CHECK(file.good());
    }
    std::FILE* out = std::tmpfile();
    FUZZ_CHECK(out != nullptr);
    report::rewriteListingFile(listingPath().c_str(), out);
    std::rewind(out);
    std::string written;
    char block[4096];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, out)) != 0;) written.append(block, got);
    std::fclose(out);
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::text(data, size);
    const std::string written = rewrite(input);
    const std::vector<std::string_view> lines = readerLines(input);

    // Only a header or "#line " line sets the name column; without one, and
    // without a header to start the rewritten part, nothing is written.
    bool named = false;
    std::size_t firstHeader = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        named = named || lines[i].starts_with("MONITORED SOURCE FILE : ") || lines[i].starts_with("#line ");
        if (firstHeader == lines.size() && firstWord(lines[i]) == "MONITORED") firstHeader = i;
    }
    if (!named || firstHeader == lines.size()) {
        FUZZ_CHECK(written.empty());
        return 0;
    }
    std::size_t summary = firstHeader + 1;
    while (summary < lines.size() && firstWord(lines[summary]) != "SUMMARY") ++summary;

    // Every line written is a header as read, an empty line that sets one
    // off, or a row that ends in "):" and the line as read; they follow the
    // listing's order, each line of it used once, and none comes from
    // before the first header or from "SUMMARY" on.
    FUZZ_CHECK(written.empty() || written.back() == '\n');
    std::size_t next = firstHeader;
    std::string_view rest = written;
    while (!rest.empty()) {
        const std::string_view out = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(out.size() + 1);
        if (out.empty()) continue;
        bool matched = false;
        while (!matched && next < summary) {
            const std::string_view line = lines[next++];
            // A line of blanks only follows the rule of the line before it,
            // a header's too.
            const bool header = out == line && (firstWord(line) == "MONITORED" || firstWord(line).empty());
            const bool row = out.size() > line.size() + 2 && out.ends_with(line) &&
                             out.substr(out.size() - line.size() - 2, 2) == "):";
            matched = header || row;
        }
        FUZZ_CHECK(matched);
    }
    return 0;
}
