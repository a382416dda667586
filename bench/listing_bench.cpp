// Benchmark program for the untested-listing rewrite.
//
//   vszeb_bench_listing generate FILE MEGABYTES [SEED]
//       writes a listing of about that size, shaped like zebpost's: many
//       source files, "#line" directives, column headers, rule lines,
//       decision and condition rows, long rows, a summary.
//   vszeb_bench_listing rewrite FILE
//       rewrites FILE onto standard output as the IDE gets it, then writes
//       the peak resident memory ("peak memory: N kB") to standard error.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "report/listing.h"

namespace {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    std::uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }

private:
    std::uint64_t state_;
};

const char* const kSnippets[] = {
    "if (status != STATUS_OK)",
    "while (index < count && !done)",
    "return handle->ops->read(handle, buffer, size);",
    "for (i = 0; i < MAX_CHANNELS; i++)",
    "case EVENT_TIMEOUT:",
    "else if (retries-- > 0 || force)",
    "assert(queue != NULL);",
    "switch (msg->type)",
    "do_cleanup(ctx, CLEANUP_ALL);",
    "x = (a > b) ? compute(a, b) : fallback;",
};
const char* const kDirs[] = {"src", "src\\drivers", "src\\net", "lib\\util", "app\\ui", "My Sources\\legacy"};
const char* const kExts[] = {".c", ".cpp", ".cc"};

// Source text of a row: code snippets up to about `length` characters.
std::string sourceText(Random& rnd, std::size_t length) {
    std::string text;
    while (text.size() < length) {
        if (!text.empty()) text += "  ";
        text += kSnippets[rnd.below(sizeof kSnippets / sizeof kSnippets[0])];
    }
    return text;
}

std::string sourceFile(Random& rnd, unsigned n) {
    std::string path = "C:\\Projects\\firmware\\";
    path += kDirs[rnd.below(sizeof kDirs / sizeof kDirs[0])];
    path += "\\module" + std::to_string(n % 97) + "\\file" + std::to_string(n);
    path += kExts[rnd.below(3)];
    return path;
}

void appendRow(std::string& out, Random& rnd, unsigned& line) {
    line += 1 + rnd.below(9);
    const std::string number = std::to_string(line);
    // Mostly short rows, now and then a long one.
    const std::size_t textLength = rnd.below(20) == 0 ? 300 + rnd.below(600) : 10 + rnd.below(70);
    const std::string text = sourceText(rnd, textLength);
    char buf[64];
    switch (rnd.below(5)) {
    case 0:  // function: the lone dash first
        std::snprintf(buf, sizeof buf, "   -   %6s  ", number.c_str());
        break;
    case 1:  // condition: true and false counts, then the dash
        std::snprintf(buf, sizeof buf, "   0      %u      -   %6s  ", rnd.below(3), number.c_str());
        break;
    case 2:  // executed both ways: no lone dash, not untested
        std::snprintf(buf, sizeof buf, "   %u      %u   %6s  ", 1 + rnd.below(50), 1 + rnd.below(50), number.c_str());
        break;
    default:  // decision
        std::snprintf(buf, sizeof buf, "   0      -   %6s  ", number.c_str());
        break;
    }
    out += buf;
    out += text;
    out += '\n';
}

int generate(const char* path, double megabytes, std::uint64_t seed) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        std::perror(path);
        return 1;
    }
    const auto target = static_cast<std::uint64_t>(megabytes * 1024 * 1024);
    Random rnd(seed);
    std::uint64_t written = 0;
    std::string out;
    out += "ZEB++ Untested code listing\n"
           "Symbol file : MON.sym\n"
           "Data file   : MON.dat\n"
           "\n";
    unsigned fileNo = 0;
    while (written + out.size() < target) {
        out += "MONITORED SOURCE FILE : " + sourceFile(rnd, ++fileNo) + "\n";
        out += "\n"
               "INSTRUMENTATION : decision coverage\n"
               "\n"
               "HITS/TRUE  FALSE   LINE  SOURCE\n"
               "==========================================================================\n";
        unsigned line = 0;
        const unsigned rows = 50 + rnd.below(400);
        for (unsigned r = 0; r < rows; ++r) {
            if (rnd.below(60) == 0) {
                out += "#line " + std::to_string(1 + rnd.below(500)) + " \"C:\\Projects\\firmware\\include\\hdr" +
                       std::to_string(rnd.below(300)) + ".h\"\n";
            } else if (rnd.below(80) == 0) {
                out += "--------------------------------------------------------------------------\n";
                // zebpost leaves a line of blanks after some rules.
                if (rnd.below(2) == 0) out += "   \n";
            } else if (rnd.below(100) == 0) {
                out += "\n";
            }
            appendRow(out, rnd, line);
        }
        out += "\n";
        if (out.size() > (1u << 20)) {
            std::fwrite(out.data(), 1, out.size(), f);
            written += out.size();
            out.clear();
        }
    }
    out += "SUMMARY\n"
           "MONITORED SOURCE FILES : " + std::to_string(fileNo) + "\n"
           "   0   -   1 untested items are counted above\n";
    std::fwrite(out.data(), 1, out.size(), f);
    return std::fclose(f) == 0 ? 0 : 1;
}

// Peak resident set size of this process in kB, from the kernel's own count.
long peakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

int usage() {
    std::fprintf(stderr,
                 "usage: vszeb_bench_listing generate FILE MEGABYTES [SEED]\n"
                 "       vszeb_bench_listing rewrite FILE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "generate") == 0) {
        const std::uint64_t seed = argc >= 5 ? std::strtoull(argv[4], nullptr, 10) : 1;
        return generate(argv[2], std::strtod(argv[3], nullptr), seed);
    }
    if (argc == 3 && std::strcmp(argv[1], "rewrite") == 0) {
        report::rewriteListingFile(argv[2], stdout);
        std::fprintf(stderr, "peak memory: %ld kB\n", peakMemoryKb());
        return 0;
    }
    return usage();
}
