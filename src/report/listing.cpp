#include "report/listing.h"

#include "sys/files.h"

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

namespace report {

namespace {

constexpr std::string_view kListingFile = "zebuntested.txt";
constexpr std::string_view kHeaderPrefix = "MONITORED SOURCE FILE : ";
constexpr std::string_view kDirectivePrefix = "#line ";
// A "#line " line counts as if its text stood after the header prefix.
constexpr std::size_t kDirectiveExtra = 18;

constexpr std::string_view kHeaderWord = "MONITORED";
constexpr std::string_view kDirectiveWord = "#line";
constexpr std::string_view kSummaryWord = "SUMMARY";
constexpr std::string_view kInstrumentationWord = "INSTRUMENTATION";
constexpr std::string_view kColumnHeaderWord = "HITS/TRUE";
constexpr std::string_view kLoneDash = "-";

// One read block: far larger than a line, so a line always fits after the
// unread tail has been moved to the front.
constexpr std::size_t kReadBlock = std::size_t{1} << 20;

// White space as formatted extraction in the classic locale knows it; a
// table, because every byte of every row passes through here.
struct SpaceTable {
    bool space[256] = {};
    constexpr SpaceTable() {
        for (unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'}) space[c] = true;
    }
};
constexpr SpaceTable kSpaces;

inline bool isSpace(char c) { return kSpaces.space[static_cast<unsigned char>(c)]; }

// The index, in memory order, of the first byte that is not zero in a chunk
// loaded from memory.
inline std::size_t firstNonZeroByte(std::uint64_t flags) {
    if constexpr (std::endian::native == std::endian::little) {
        return static_cast<std::size_t>(std::countr_zero(flags)) / 8;
    } else {
        return static_cast<std::size_t>(std::countl_zero(flags)) / 8;
    }
}

inline std::uint64_t load8(const char* at) {
    std::uint64_t chunk;
    std::memcpy(&chunk, at, 8);
    return chunk;
}

// Splits a line into words like repeated formatted extraction: leading white
// space is skipped and a word ends at white space. Once a word is missing,
// every later one is missing too, as on a stream that has failed.
class WordCursor {
public:
    explicit WordCursor(std::string_view line) : line_(line) {}

    // Reads the next word into `holder`; a missing word leaves it unchanged.
    template <class Holder>
    bool next(Holder& holder) {
        if (failed_) return false;
        skipBlankRun();
        while (pos_ < line_.size() && isSpace(line_[pos_])) ++pos_;
        if (pos_ == line_.size()) {
            failed_ = true;
            return false;
        }
        const std::size_t start = pos_;
        skipWordRun();
        while (pos_ < line_.size() && !isSpace(line_[pos_])) ++pos_;
        holder.assign(line_.substr(start, pos_ - start), line_.size() - start);
        return true;
    }

    // Everything after the last word read; empty once a word was missing.
    std::string_view rest() const { return failed_ ? std::string_view{} : line_.substr(pos_); }

private:
    static constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    static constexpr std::uint64_t kHighs = 0x8080808080808080ull;

    // Listings align their columns with long runs of blanks, and every byte
    // of a row's first words passes here: both loops step eight bytes at a
    // time and leave the last few, and the exact test, to the byte loops.
    void skipBlankRun() {
        while (line_.size() - pos_ >= 8) {
            const std::uint64_t other = load8(line_.data() + pos_) ^ (kOnes * ' ');
            if (other != 0) {
                pos_ += firstNonZeroByte(other);
                return;
            }
            pos_ += 8;
        }
    }

    // Steps to the first byte that may be white space: every white space
    // character is below 0x21.
    void skipWordRun() {
        while (line_.size() - pos_ >= 8) {
            const std::uint64_t chunk = load8(line_.data() + pos_);
            const std::uint64_t below = (chunk - kOnes * 0x21) & ~chunk & kHighs;
            if (below != 0) {
                pos_ += firstNonZeroByte(below);
                return;
            }
            pos_ += 8;
        }
    }

    std::string_view line_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

std::string_view withoutOneLeadingBlank(std::string_view text) {
    if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    return text;
}

// The leading decimal integer of a word, as string-to-integer conversion
// reads it: an optional sign, then digits; no digits give 0. A number too
// large for the row's field is held at the end of the int range instead of
// wrapping, the same on every platform.
int lineNumberOf(std::string_view word) {
    std::size_t i = 0;
    while (i < word.size() && isSpace(word[i])) ++i;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    long long value = 0;
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > kLimit) value = kLimit;
    }
    if (negative) return value >= kLimit ? INT_MIN : static_cast<int>(-value);
    return value >= kLimit ? INT_MAX : static_cast<int>(value);
}

// "%4d": right-justified in four characters, a wider number widens the
// field. Writes at `at` and returns the end.
char* putNumber(char* at, int number) {
    char digits[16];
    char* end = digits + sizeof digits;
    char* p = end;
    // Work on the magnitude as unsigned so that INT_MIN has one too.
    unsigned magnitude = number < 0 ? 0u - static_cast<unsigned>(number) : static_cast<unsigned>(number);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (number < 0) *--p = '-';
    const std::size_t length = static_cast<std::size_t>(end - p);
    if (length < 4) {
        std::memset(at, ' ', 4 - length);
        at += 4 - length;
    }
    std::memcpy(at, p, length);
    return at + length;
}

// Digits without a leading zero that fit an int read as themselves, the
// usual case, which needs no conversion.
bool plainNumber(std::string_view word) {
    if (word.empty() || word.size() > 9 || (word[0] == '0' && word.size() > 1)) return false;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// "%4d" of a plain number.
char* putPadded(char* at, std::string_view digits) {
    for (std::size_t n = digits.size(); n < 4; ++n) *at++ = ' ';
    std::memcpy(at, digits.data(), digits.size());
    return at + digits.size();
}

char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

}  // namespace

// ---------------------------------------------------------------- reading

ListingLineReader::ListingLineReader(std::FILE* in) : in_(in), block_(new char[kReadBlock]) {}

ListingLineReader::~ListingLineReader() = default;

void ListingLineReader::refill() {
    const std::size_t unread = end_ - begin_;
    if (begin_ != 0 && unread != 0) std::memmove(block_.get(), block_.get() + begin_, unread);
    begin_ = 0;
    end_ = unread;
    const std::size_t got = in_ ? std::fread(block_.get() + end_, 1, kReadBlock - end_, in_) : 0;
    end_ += got;
    // A read error ends the listing like its end does.
    if (got == 0) eof_ = true;
}

bool ListingLineReader::nextAfterRefill(std::string_view& line) {
    while (!failed_) {
        const char* start = block_.get() + begin_;
        const std::size_t unread = end_ - begin_;
        const std::size_t reach = unread < kMaxLine + 1 ? unread : kMaxLine + 1;
        if (const void* nl = std::memchr(start, '\n', reach)) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            line = std::string_view(start, length);
            begin_ += length + 1;
            return true;
        }
        if (unread > kMaxLine) break;
        if (eof_) {
            if (unread == 0) break;
            line = std::string_view(start, unread);
            begin_ = end_;
            return true;
        }
        refill();
    }
    // Failed for good: nothing is left for the quick path to find.
    failed_ = true;
    eof_ = true;
    begin_ = end_ = 0;
    return false;
}

// ---------------------------------------------------------------- output

ListingOutput::ListingOutput(std::FILE* out) : out_(out), data_(new char[kBlock]) {}

ListingOutput::~ListingOutput() { flush(); }

char* ListingOutput::room(std::size_t size) {
    if (capacity_ - size_ < size) {
        writeOut();
        // Only a row wider than the block itself gets a larger one.
        if (capacity_ < size) {
            data_.reset(new char[size]);
            capacity_ = size;
        }
    }
    return data_.get() + size_;
}

void ListingOutput::append(std::string_view text) { commit(put(room(text.size()), text)); }

void ListingOutput::writeOut() {
    if (size_ != 0) std::fwrite(data_.get(), 1, size_, out_);
    size_ = 0;
}

void ListingOutput::flush() {
    writeOut();
    std::fflush(out_);
}

// ---------------------------------------------------------------- first pass

void ListingNameWidth::line(std::string_view text) {
    std::size_t measured = 0;
    if (text.starts_with(kHeaderPrefix)) {
        measured = text.size();
    } else if (text.starts_with(kDirectivePrefix)) {
        measured = text.size() + kDirectiveExtra;
    }
    if (measured > longest_) longest_ = measured;
}

// ---------------------------------------------------------------- second pass

ListingRewriter::ListingRewriter(std::size_t nameWidth) : nameWidth_(nameWidth) {
    rowPrefix_.reserve(nameWidth_ + ListingLineReader::kMaxLine + 2);
    setFileName({});
}

void ListingRewriter::setFileName(std::string_view name) {
    rowPrefix_.assign(name);
    if (name.size() < nameWidth_) rowPrefix_.append(nameWidth_ - name.size(), ' ');
    rowPrefix_.push_back('(');
}

void ListingRewriter::LineText::assign(std::string_view text, std::size_t readable) {
    // Every text comes from one line, so it fits; cut rather than overrun
    // should a caller hand in more.
    size_ = text.size() < sizeof data_ ? text.size() : sizeof data_;
    // Most words are short: one fixed copy of 16 bytes when that many can
    // be read is cheaper than a copy of the exact length.
    if (size_ <= 16 && readable >= 16) {
        std::memcpy(data_, text.data(), 16);
    } else {
        std::memcpy(data_, text.data(), size_);
    }
}

// The header's three words after "MONITORED" go into the holders like any
// other words; the name is all that follows them, inner blanks included.
void ListingRewriter::takeHeaderName(std::string_view line) {
    WordCursor cursor(line);
    cursor.next(words_[0]);
    cursor.next(words_[1]);
    cursor.next(words_[2]);
    cursor.next(words_[3]);
    setFileName(withoutOneLeadingBlank(cursor.rest()));
}

// "#line NUMBER NAME": the name may stand in double quotes; the last
// character goes with an opening quote whatever it is.
void ListingRewriter::takeDirectiveName(std::string_view line) {
    WordCursor cursor(line);
    cursor.next(words_[0]);
    cursor.next(words_[1]);
    std::string_view name = withoutOneLeadingBlank(cursor.rest());
    if (!name.empty() && name.front() == '"') {
        name.remove_prefix(1);
        if (!name.empty()) name.remove_suffix(1);
    }
    setFileName(name);
}

// "%-*s(%4d):%s\n" with the name, the line number and the row as read.
void ListingRewriter::writeRow(std::string_view text, std::string_view numberWord, ListingOutput& out) const {
    // The prefix, at most eleven digits and a sign, "):", the row, "\n".
    char* at = put(out.room(rowPrefix_.size() + text.size() + 16), rowPrefix_);
    at = plainNumber(numberWord) ? putPadded(at, numberWord) : putNumber(at, lineNumberOf(numberWord));
    at = put(at, "):");
    at = put(at, text);
    *at++ = '\n';
    out.commit(at);
}

bool ListingRewriter::line(std::string_view text, ListingOutput& out) {
    LineText& first = words_[0];

    if (!inHeaderPart_) {
        // Everything before the first header is skipped, "#line" lines too.
        WordCursor cursor(text);
        cursor.next(first);
        if (first.view() != kHeaderWord) return true;
        takeHeaderName(text);
        out.append(text);
        out.append("\n");
        inHeaderPart_ = true;
        return true;
    }

    WordCursor cursor(text);
    if (text.empty()) {
        first.assign(kInstrumentationWord);
    } else {
        // A line of blanks only supplies no word: the previous first word
        // stays, and with it the rule of the previous line.
        cursor.next(first);
    }

    const std::string_view word = first.view();
    if (word == kSummaryWord) return false;
    if (word == kHeaderWord) {
        takeHeaderName(text);
        out.append("\n");
        out.append(text);
        out.append("\n");
        return true;
    }
    if (word == kInstrumentationWord || word == kColumnHeaderWord) return true;
    if (word.starts_with('=')) return true;
    if (word.size() > 1 && word.starts_with('-')) return true;
    if (word == kDirectiveWord) {
        takeDirectiveName(text);
        return true;
    }

    // A data row: the line number stands after the first lone "-".
    cursor.next(words_[1]);
    cursor.next(words_[2]);
    cursor.next(words_[3]);
    for (int i = 0; i < 3; ++i) {
        if (words_[i].view() == kLoneDash) {
            writeRow(text, words_[i + 1].view(), out);
            break;
        }
    }
    return true;
}

// ---------------------------------------------------------------- the file

void rewriteListingFile(const char* path, std::FILE* out) {
    // A listing that is not a plain file (a directory, a named pipe) is as
    // good as none: reading it could fail oddly or wait for a writer.
    if (!sys::fileExists(path)) return;
    ListingNameWidth width;
    {
        std::FILE* in = std::fopen(path, "r");
        if (!in) return;
        ListingLineReader reader(in);
        std::string_view line;
        while (reader.next(line)) width.line(line);
        std::fclose(in);
    }
    if (!width.found()) return;

    std::FILE* in = std::fopen(path, "r");
    if (!in) return;
    {
        ListingRewriter rewriter(width.width());
        ListingLineReader reader(in);
        ListingOutput output(out);
        std::string_view line;
        while (reader.next(line) && rewriter.line(line, output)) {
        }
    }
    std::fclose(in);
}

void adjustUntestedListing() { rewriteListingFile(std::string(kListingFile).c_str(), stdout); }

}  // namespace report
