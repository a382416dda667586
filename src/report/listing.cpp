#include "report/listing.h"

#include "report/listingscan.h"
#include "sys/files.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>

// What the rewrite does for every line or chunk goes whole into the
// functions that use it, so that each is compiled for the processor of that
// function.
#if defined(__GNUC__) || defined(__clang__)
#define VSZEB_LISTING_INLINE __attribute__((always_inline)) inline
#else
#define VSZEB_LISTING_INLINE inline
#endif

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

// One read: whole pages into a page-aligned place, which the system copies
// fastest; small enough to stay in the processor's cache between the read
// that fills it and the scan.
constexpr std::size_t kPage = 4096;
constexpr std::size_t kReadBlock = std::size_t{1} << 17;
// Before the place of the reads, room for the unread start of a line.
constexpr std::size_t kFront = 1024;
static_assert(kFront > ListingLineReader::kMaxLine, "the start of a line that may still be read must fit");
// From one block to the next, so that the second's reads are page-aligned too.
constexpr std::size_t kBlockStride = (kFront + kReadBlock + ListingLineReader::kPadding + kPage - 1) / kPage * kPage;

constexpr std::size_t kChunk = 64;
// How many bytes' newlines are listed at once.
constexpr std::size_t kListAhead = std::size_t{1} << 12;
// A row's first bytes, and those of the name before it, copied at once
// whatever their length.
constexpr std::size_t kRowHead = 128;
constexpr std::size_t kPrefixHead = 64;
static_assert(ListingLineReader::kPadding >= kRowHead + 16 && ListingLineReader::kPadding >= kChunk + 16,
              "what is read at once from a line's start must be readable after the line's end");

// 1 when `bits` is not 0, else 0, without a branch: the scans take one for
// every 64 bytes otherwise, which the processor cannot foresee.
inline std::uint64_t anyBit(std::uint64_t bits) { return (bits | (0 - bits)) >> 63; }
// The lowest set bit of `bits` alone; 0 for none.
inline std::uint64_t lowestBitOf(std::uint64_t bits) { return bits & (0 - bits); }
// The index of the lowest set bit of `bits`, which is not 0.
inline std::size_t lowestBit(std::uint64_t bits) { return static_cast<std::size_t>(std::countr_zero(bits)); }
// The count of zero bits above the highest set bit of `bits`, which is not 0.
inline std::size_t highestBitFromTop(std::uint64_t bits) { return static_cast<std::size_t>(std::countl_zero(bits)); }

// White space as formatted extraction in the classic locale knows it.
inline bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

using Words = ListingRewriter::Words;

// Where the words of a line's first 64 bytes start and end, from where its
// white space is (`space`): bit i of `starts` says that a word starts at
// byte i, bit i of `ends` that one ends just before it. Past the line's end
// counts as white space; a word that runs on past the 64 bytes has no end
// here.
struct WordBits {
    std::uint64_t starts;
    std::uint64_t ends;
};
inline WordBits wordBits(std::uint64_t space, std::size_t size) {
    space |= (~std::uint64_t{0} << (size & (kChunk - 1))) & (0 - static_cast<std::uint64_t>(size < kChunk));
    return {~space & ((space << 1) | 1), space & (~space << 1)};
}

// `bits` without its three lowest set bits.
inline std::uint64_t withoutLowestThree(std::uint64_t bits) {
    bits &= bits - 1;
    bits &= bits - 1;
    return bits & (bits - 1);
}

// Byte by byte, for the lines whose first words reach past their first 64
// bytes.
void splitWordsSlowly(std::string_view line, Words& words) {
    const std::size_t size = line.size();
    std::size_t pos = 0;
    words.count = 0;
    while (words.count < 4) {
        while (pos < size && isSpace(line[pos])) ++pos;
        if (pos == size) return;
        words.begin[words.count] = pos;
        while (pos < size && !isSpace(line[pos])) ++pos;
        words.end[words.count] = pos;
        ++words.count;
    }
}

// The first four words of `line`, split like repeated formatted extraction:
// leading white space is skipped and a word ends at white space; once a word
// is missing, so are the later ones. Most lines have their first words in
// their first 64 bytes, which one look at their white space settles.
inline void splitWords(std::string_view line, Words& words) {
    const std::size_t size = line.size();
    const WordBits bits = wordBits(scan::spaces(line.data()), size);
    std::uint64_t starts = bits.starts;
    std::uint64_t ends = bits.ends;
    words.count = 0;
    for (; words.count < 4; ++words.count) {
        if (starts == 0) {
            if (size <= kChunk) return;
            return splitWordsSlowly(line, words);
        }
        const auto begin = static_cast<std::size_t>(std::countr_zero(starts));
        std::size_t end;
        if (ends != 0) {
            end = static_cast<std::size_t>(std::countr_zero(ends));
        } else if (size == kChunk) {
            end = kChunk;
        } else {
            return splitWordsSlowly(line, words);
        }
        starts &= starts - 1;
        ends &= ends - 1;
        words.begin[words.count] = begin;
        words.end[words.count] = end;
    }
}

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
// usual case, which needs no conversion. `word` has 8 bytes to read.
VSZEB_LISTING_INLINE bool plainNumber(const char* word, std::size_t size) {
    if (size - 1 >= 8) return false;  // none, or more digits than the test below takes
    if constexpr (std::endian::native == std::endian::little) {
        // All at once: the word's bytes are the low ones of the chunk.
        std::uint64_t chunk;
        std::memcpy(&chunk, word, 8);
        const std::uint64_t digits = scan::portable::bytesBelow(chunk, '9' + 1) & ~scan::portable::bytesBelow(chunk, '0');
        const std::uint64_t wanted = scan::portable::kHighs >> (8 * (8 - size));
        const bool noLeadingZero = word[0] != '0' || size == 1;
        return (digits & wanted) == wanted && noLeadingZero;
    } else {
        if (word[0] == '0' && size > 1) return false;
        for (std::size_t i = 0; i < size; ++i) {
            if (word[i] < '0' || word[i] > '9') return false;
        }
        return true;
    }
}

// "%4d" of a plain number of at most 8 digits. `digits` has 8 bytes to
// read, and 8 bytes after `at` may be written.
VSZEB_LISTING_INLINE char* putPadded(char* at, const char* digits, std::size_t size) {
    std::memcpy(at, "    ", 4);
    // Without a branch: the lengths of the line numbers vary from row to row.
    at += (4 - size) & (0 - static_cast<std::size_t>(size < 4));
    std::memcpy(at, digits, 8);
    return at + size;
}

char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

}  // namespace

// ---------------------------------------------------------------- scanning

namespace {

// The byte classes a scan uses, as a type, so that each scan below is
// compiled once for every processor it may run on. kCounts: the processor
// counts the bits of a word in one instruction.
struct Sse2Way {
    static constexpr bool kCounts = false;
    static std::uint64_t newlines(const char* at) { return scan::newlines(at); }
    static std::uint64_t spaces(const char* at) { return scan::spaces(at); }
    static std::uint64_t either(const char* at, char a, char b) { return scan::either(at, a, b); }
};

// Makes the compiler forget what it knows of `value`, so that it cannot
// turn the arithmetic on it into branches.
template <class T>
VSZEB_LISTING_INLINE T opaque(T value) {
#if defined(__GNUC__) || defined(__clang__)
    asm("" : "+r"(value));
#endif
    return value;
}

// Adds the newlines of one chunk, at `base`, to `out`; returns how many.
// Four places are written whether or not there are as many newlines, which
// spares a branch for most chunks.
template <class Way = Sse2Way>
VSZEB_LISTING_INLINE std::size_t listChunk(std::uint64_t bits, std::uint32_t base, std::uint32_t* out) {
    if constexpr (Way::kCounts) {
        const auto count = static_cast<std::size_t>(std::popcount(bits));
        // Past the last newline the places get 64, which is never used.
        const auto put = [&](std::size_t i) {
            out[i] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
            bits = opaque(bits & (bits - 1));
        };
        put(0);
        put(1);
        put(2);
        put(3);
        for (std::size_t i = 4; i < count; ++i) {
            out[i] = base + static_cast<std::uint32_t>(lowestBit(bits));
            bits &= bits - 1;
        }
        return count;
    } else {
        std::size_t count = 0;
        const auto put = [&](std::size_t i) {
            // The top bit keeps the look defined where no newline is left.
            out[i] = base + static_cast<std::uint32_t>(lowestBit(bits | (std::uint64_t{1} << 63)));
            count += static_cast<std::size_t>(anyBit(bits));
            bits &= bits - 1;
        };
        put(0);
        put(1);
        put(2);
        put(3);
        for (; bits != 0; bits &= bits - 1) out[count++] = base + static_cast<std::uint32_t>(lowestBit(bits));
        return count;
    }
}

// The newlines of the whole chunks in [from, stop) into `out`; returns how
// many.
template <class Way>
VSZEB_LISTING_INLINE std::size_t listChunks(const char* block, std::size_t from, std::size_t stop,
                                                     std::uint32_t* out) {
    std::size_t found = 0;
    for (; stop - from >= kChunk; from += kChunk) {
        found += listChunk<Way>(Way::newlines(block + from), static_cast<std::uint32_t>(from), out + found);
    }
    return found;
}

// Steps over whole chunks from `scanned` up to `end` while no line that
// starts in them begins with `a` or `b` and none is too long; `begin` is
// the start of the line running into the chunk at `scanned`. Returns true
// with the newlines of the chunk it stopped at (at `scanned`), false when
// it reached the end.
template <class Way>
VSZEB_LISTING_INLINE bool skipChunks(const char* block, std::size_t& begin, std::size_t& scanned,
                                              std::size_t end, char a, char b, std::uint64_t& stopped) {
    // In locals: through the references, every chunk would wait for the
    // stores of the one before.
    std::size_t at = scanned;
    // The newlines of the chunk before: a line starts at a chunk's first
    // byte when the chunk before ended with one (or, for the first chunk,
    // when the line running into it starts there).
    std::uint64_t before = static_cast<std::uint64_t>(begin == at) << 63;
    // The last chunk that had newlines, and they: the line running into a
    // chunk started after them, which bounds its length, and its start is
    // worked out from them once, at the end.
    std::size_t lastAt = begin;
    std::uint64_t lastNewlines = 0;
    bool found = false;
    while (end - at >= kChunk) {
        const std::uint64_t newlines = Way::newlines(block + at);
        // The lines that start in this chunk.
        const std::uint64_t starts = (newlines << 1) | (before >> 63);
        const std::uint64_t wanted = Way::either(block + at, a, b) & starts;
        // Where the line running into this chunk may be too long, the
        // reader decides too. One branch for both, which goes the same way
        // for most chunks.
        if (opaque(static_cast<unsigned>(wanted != 0) | static_cast<unsigned>(at + kChunk - lastAt > ListingLineReader::kMaxLine)) != 0) {
            stopped = newlines;
            found = true;
            break;
        }
        const bool any = newlines != 0;
        lastAt = any ? at : lastAt;
        lastNewlines = any ? newlines : lastNewlines;
        before = newlines;
        at += kChunk;
    }
    if (lastNewlines != 0) begin = lastAt + kChunk - highestBitFromTop(lastNewlines);
    scanned = at;
    return found;
}

#ifdef VSZEB_LISTING_AVX2
struct Avx2Way {
    static constexpr bool kCounts = true;
    VSZEB_LISTING_FOR_AVX2 static std::uint64_t newlines(const char* at) { return scan::avx2::newlines(at); }
    VSZEB_LISTING_FOR_AVX2 static std::uint64_t spaces(const char* at) { return scan::avx2::spaces(at); }
    VSZEB_LISTING_FOR_AVX2 static std::uint64_t either(const char* at, char a, char b) {
        return scan::avx2::either(at, a, b);
    }
};

VSZEB_LISTING_FOR_AVX2 std::size_t listChunksAvx2(const char* block, std::size_t from, std::size_t stop,
                                                  std::uint32_t* out) {
    return listChunks<Avx2Way>(block, from, stop, out);
}

VSZEB_LISTING_FOR_AVX2 bool skipChunksAvx2(const char* block, std::size_t& begin, std::size_t& scanned,
                                           std::size_t end, char a, char b, std::uint64_t& stopped) {
    return skipChunks<Avx2Way>(block, begin, scanned, end, a, b, stopped);
}
#endif

std::size_t listWholeChunks(const char* block, std::size_t from, std::size_t stop, std::uint32_t* out) {
#ifdef VSZEB_LISTING_AVX2
    if (scan::avx2::available()) return listChunksAvx2(block, from, stop, out);
#endif
    return listChunks<Sse2Way>(block, from, stop, out);
}

bool skipWholeChunks(const char* block, std::size_t& begin, std::size_t& scanned, std::size_t end, char a, char b,
                     std::uint64_t& stopped) {
#ifdef VSZEB_LISTING_AVX2
    if (scan::avx2::available()) return skipChunksAvx2(block, begin, scanned, end, a, b, stopped);
#endif
    return skipChunks<Sse2Way>(block, begin, scanned, end, a, b, stopped);
}

}  // namespace

// ---------------------------------------------------------------- reading

// The padding is zeroed once, so that the bytes a scan reads past the data
// are always defined, if never used.
ListingLineReader::ListingLineReader(std::FILE* in)
    : in_(in),
      storage_(new char[kPage + 2 * kBlockStride]()),
      newlines_(new std::uint32_t[kListAhead + kChunk]),
      listAhead_(kListAhead) {
    const auto address = reinterpret_cast<std::uintptr_t>(storage_.get()) + kFront;
    block_ = storage_.get() + (kPage - address % kPage) % kPage;
    otherBlock_ = block_ + kBlockStride;
}

ListingLineReader::~ListingLineReader() = default;

void ListingLineReader::listNewlines(std::uint64_t bits, std::size_t at) {
    found_ += listChunk(bits, static_cast<std::uint32_t>(at), newlines_.get() + found_);
}

// Lists the newlines of the bytes read but not yet looked at, up to
// listAhead_ bytes' worth at a time; false when they hold none.
bool ListingLineReader::findNewlines() {
    listed_ = found_ = 0;
    while (found_ == 0 && scanned_ != end_) {
        const std::size_t stop = end_ - scanned_ > listAhead_ ? scanned_ + listAhead_ : end_;
        found_ += listWholeChunks(block_, scanned_, stop, newlines_.get() + found_);
        scanned_ += (stop - scanned_) / kChunk * kChunk;
        if (scanned_ != stop) {
            const std::size_t available = stop - scanned_;
            listNewlines(scan::newlines(block_ + scanned_) & ((std::uint64_t{1} << available) - 1), scanned_);
            scanned_ = stop;
        }
    }
    return found_ != 0;
}

void ListingLineReader::skipLinesNotStartingWith(char a, char b) {
    // Most lines are stepped over here: listing their ends ahead would be
    // wasted.
    listAhead_ = kChunk;
    const char* block = block_;
    // First the lines whose ends are listed already.
    while (listed_ != found_) {
        const std::size_t at = newlines_[listed_];
        if (block[begin_] == a || block[begin_] == b || at - begin_ > kMaxLine) return;
        ++listed_;
        begin_ = at + 1;
    }
    // Only from the start of a line whose first byte has been read and is
    // neither: the chunks below see the starts of the lines after it.
    if (begin_ >= end_ || block[begin_] == a || block[begin_] == b) return;
    // In locals, which the compiler can keep in registers: the block's
    // bytes might be the members for all it knows.
    std::size_t begin = begin_;
    std::size_t scanned = scanned_;
    std::uint64_t stopped = 0;
    const bool atChunk = skipWholeChunks(block, begin, scanned, end_, a, b, stopped);
    begin_ = begin;
    scanned_ = scanned;
    if (atChunk) {
        // Line by line from here.
        listed_ = found_ = 0;
        listNewlines(stopped, scanned_);
        scanned_ += kChunk;
    }
}

// The unread start of a line (at most kMaxLine bytes) goes just before the
// place of the reads, which then follow it. The line handed out last stays
// where it is: the read goes to the other block, unless that line came from
// the other block already (no line has come from this one since its read).
void ListingLineReader::refill() {
    const std::size_t unread = end_ - begin_;
    const char* const from = block_ + begin_;
    if (begin_ != refilledAt_) std::swap(block_, otherBlock_);
    if (unread != 0) std::memmove(block_ + kFront - unread, from, unread);
    begin_ = kFront - unread;
    refilledAt_ = begin_;
    end_ = kFront;
    // That start holds no newline: it has been looked at already.
    scanned_ = kFront;
    listed_ = found_ = 0;
    const std::size_t got = in_ ? std::fread(block_ + kFront, 1, kReadBlock, in_) : 0;
    end_ += got;
    // A read error ends the listing like its end does.
    if (got == 0) eof_ = true;
}

// Every byte read has been looked at, and no newline is left after the
// line's start: read on, or end with the last line or a failure.
bool ListingLineReader::nextAtBlockEnd(std::string_view& line) {
    while (!failed_) {
        const std::size_t unread = end_ - begin_;
        if (unread > kMaxLine) break;
        if (eof_) {
            if (unread == 0) break;
            line = std::string_view(block_ + begin_, unread);
            begin_ = end_;
            return true;
        }
        refill();
        if (findNewlines()) return next(line);
    }
    return fail();
}

// Failed for good: nothing is left for the quick path to find.
bool ListingLineReader::fail() {
    failed_ = true;
    eof_ = true;
    begin_ = end_ = scanned_ = 0;
    listed_ = found_ = 0;
    return false;
}

// ---------------------------------------------------------------- output

ListingOutput::ListingOutput(std::FILE* out) : out_(out), data_(new char[kBlock]) {}

ListingOutput::~ListingOutput() { flush(); }

void ListingOutput::makeRoom(std::size_t size) {
    flush();
    // Only a row wider than the block itself gets a larger one.
    if (capacity_ < size) {
        data_.reset(new char[size]);
        capacity_ = size;
    }
}

// What has been added ends with a whole line; flushed, it reaches the IDE
// that way, not only up to the stream's own buffer size.
void ListingOutput::flush() {
    if (size_ != 0) std::fwrite(data_.get(), 1, size_, out_);
    size_ = 0;
    std::fflush(out_);
}

// ---------------------------------------------------------------- first pass

void ListingNameWidth::line(std::string_view text) {
    std::size_t measured = 0;
    // Most lines begin with neither prefix's first character.
    if (text.empty()) return;
    if (text[0] == 'M' && text.starts_with(kHeaderPrefix)) {
        measured = text.size();
    } else if (text[0] == '#' && text.starts_with(kDirectivePrefix)) {
        measured = text.size() + kDirectiveExtra;
    }
    if (measured > longest_) longest_ = measured;
}

// ---------------------------------------------------------------- second pass

ListingRewriter::ListingRewriter(std::size_t nameWidth) : nameWidth_(nameWidth) { setFileName({}); }

void ListingRewriter::setFileName(std::string_view name) { rowPrefix_.assignPadded(name, nameWidth_, '('); }

void ListingRewriter::LineText::assignWord(const char* word, std::size_t size) {
    // Every word comes from one line, so it fits; cut rather than overrun
    // should a caller hand in more.
    size_ = size < kCapacity ? size : kCapacity;
    // Most words are short: one fixed copy of 16 bytes is cheaper than a
    // copy of the exact length (two calls, so that the compiler makes the
    // first a plain load and store).
    if (size_ <= 16) {
        std::memcpy(data_, word, 16);
    } else {
        std::memcpy(data_, word, size_);
    }
}

void ListingRewriter::LineText::assign(std::string_view text) {
    size_ = text.size() < kCapacity ? text.size() : kCapacity;
    // An empty view may have no data at all.
    if (size_ != 0) std::memcpy(data_, text.data(), size_);
}

void ListingRewriter::LineText::assignPadded(std::string_view text, std::size_t width, char last) {
    assign(text);
    if (size_ < width) {
        const std::size_t blanks = (width < kCapacity ? width : kCapacity) - size_;
        std::memset(data_ + size_, ' ', blanks);
        size_ += blanks;
    }
    if (size_ < kCapacity) data_[size_++] = last;
}

// Words [from, to) of the line into their holders, as far as the line has them.
void ListingRewriter::hold(std::string_view text, const Words& words, std::size_t from, std::size_t to) {
    if (to > words.count) to = words.count;
    for (std::size_t i = from; i < to; ++i) {
        holders_[i].assignWord(text.data() + words.begin[i], words.end[i] - words.begin[i]);
    }
}

void ListingRewriter::holdKeptLine() {
    // None kept: a kept row always has words.
    if (keptLine_.empty()) return;
    Words words;
    splitWords(keptLine_, words);
    hold(keptLine_, words, 0, 4);
    keptLine_ = {};
}

// The header's three words after "MONITORED" go into the holders like any
// other words; the name is all that follows them, inner blanks included.
void ListingRewriter::takeHeaderName(std::string_view text, const Words& words) {
    setFileName(words.count == 4 ? withoutOneLeadingBlank(text.substr(words.end[3])) : std::string_view{});
}

// "#line NUMBER NAME": the name may stand in double quotes; the last
// character goes with an opening quote whatever it is.
void ListingRewriter::takeDirectiveName(std::string_view text, const Words& words) {
    std::string_view name = words.count >= 2 ? withoutOneLeadingBlank(text.substr(words.end[1])) : std::string_view{};
    if (!name.empty() && name.front() == '"') {
        name.remove_prefix(1);
        if (!name.empty()) name.remove_suffix(1);
    }
    setFileName(name);
}

// The header as read; every one but the first has an empty line before it.
// One piece, so that the output never ends inside it.
void ListingRewriter::writeHeader(std::string_view text, bool first, ListingOutput& out) const {
    char* at = out.room(text.size() + 2);
    if (!first) *at++ = '\n';
    at = put(at, text);
    *at++ = '\n';
    out.commit(at);
}

namespace {

// Copies `size` bytes, the first `head` at once whatever `size` is: one
// copy of fixed length, which the compiler writes out without a loop or a
// call. Most texts are shorter than the head, so the one branch mostly goes
// the same way. Up to max(size, head) bytes from `from` are read and
// written.
template <std::size_t head>
char* copyWithHead(char* to, const char* from, std::size_t size) {
    std::memcpy(to, from, head);
    if (size > head) std::memcpy(to + head, from + head, size - head);
    return to + size;
}

}  // namespace

// "%-*s(%4d):%s\n" with the name, the line number and the row as read;
// added to the output only when `wanted`.
VSZEB_LISTING_INLINE void ListingRewriter::writeRow(std::string_view text, std::string_view numberWord, bool wanted, ListingOutput& out) const {
    // The prefix, at most eleven digits and a sign, "):", the row, "\n",
    // and room for the copies of fixed length.
    char* const start = out.room(rowPrefix_.size() + text.size() + 16 + 2 * (kRowHead + 16));
    char* at = start;
    // The prefix has one length for all rows of a file: its copy takes the
    // same turns every time.
    at = copyWithHead<kPrefixHead>(at, rowPrefix_.data(), rowPrefix_.size());
    at = plainNumber(numberWord.data(), numberWord.size()) ? putPadded(at, numberWord.data(), numberWord.size())
                                                           : putNumber(at, lineNumberOf(numberWord));
    *at++ = ')';
    *at++ = ':';
    at = copyWithHead<kRowHead>(at, text.data(), text.size());
    *at++ = '\n';
    out.commit(wanted ? at : start);
}

namespace {

// The first characters of the first words that may need more than the
// rule of a data row: the keywords, "=" and "-" of the rule lines.
struct KeywordStarts {
    bool maybe[256] = {};
    constexpr KeywordStarts() {
        for (unsigned char c : {'S', 'M', 'I', 'H', '=', '-', '#'}) maybe[c] = true;
    }
};
constexpr KeywordStarts kKeywordStarts;

// A held word's first byte is there to read even when it is empty.
inline bool isLoneDash(std::string_view word) {
    return (static_cast<unsigned>(word.size() == 1) & static_cast<unsigned>(word.data()[0] == '-')) != 0;
}

// Which holder has the line number, by which of the first three words is a
// lone "-" (bit 0 the first); 0 for none.
constexpr unsigned char kNumberHolder[8] = {0, 1, 2, 1, 3, 1, 2, 1};

}  // namespace

// A row whose first four words end in its first 64 bytes, and whose first
// word is not a keyword's: one look at those bytes' white space and dashes
// settles all that the row needs. False, with nothing done, for any other
// line.
template <class Way>
VSZEB_LISTING_INLINE bool ListingRewriter::rowQuickly(std::string_view text, ListingOutput& out) {
    const auto [starts, ends] = wordBits(Way::spaces(text.data()), text.size());
    const std::uint64_t fourth = withoutLowestThree(starts);
    const std::uint64_t endsAfterThird = withoutLowestThree(ends);
    // A word of one dash: a dash that starts a word and ends it.
    const std::uint64_t loneDashes = starts & Way::either(text.data(), '-', '-') & (ends >> 1);
    // Where the chunk has no word, a byte of the line's padding: the test
    // below turns such a line away all the same.
    const std::size_t firstAt = lowestBit(starts) & (kChunk - 1);
    // The rows' first words are digits or a lone "-": one look settles
    // them.
    const unsigned keyword = kKeywordStarts.maybe[static_cast<unsigned char>(text[firstAt])] &
                             ~static_cast<unsigned>(loneDashes >> firstAt) & 1u;
    // One branch for both, which goes the same way for every row; the row
    // kinds come in no order that a processor could foresee.
    if (opaque(static_cast<unsigned>(endsAfterThird == 0) | keyword) != 0) return false;
    // The line number stands after the first lone "-" of the first three
    // words; a row without one is written and taken back, which is cheaper
    // than a branch.
    const std::uint64_t dashes = loneDashes & (lowestBitOf(fourth) - 1);
    const std::uint64_t dash = lowestBitOf(dashes);
    const std::uint64_t noDash = 0 - static_cast<std::uint64_t>(dashes == 0);
    const std::uint64_t numberStarts = (starts & ~(dash * 2 - 1)) | (starts & noDash);
    const std::size_t numberAt = lowestBit(numberStarts);
    const std::size_t numberEnd = lowestBit(ends & (~std::uint64_t{0} << numberAt));
    writeRow(text, std::string_view(text.data() + numberAt, numberEnd - numberAt), dashes != 0, out);
    // Its four words are the holders' now, whatever came before.
    keptLine_ = text;
    return true;
}

bool ListingRewriter::line(std::string_view text, ListingOutput& out) {
    holdKeptLine();
    Words words;
    splitWords(text, words);
    LineText& first = holders_[0];

    if (!inHeaderPart_) {
        // Everything before the first header is skipped, "#line" lines too.
        hold(text, words, 0, 1);
        if (first.view() != kHeaderWord) return true;
        hold(text, words, 0, 4);
        takeHeaderName(text, words);
        writeHeader(text, true, out);
        inHeaderPart_ = true;
        return true;
    }

    if (text.empty()) {
        first.assign(kInstrumentationWord);
    } else {
        // A line of blanks only supplies no word: the previous first word
        // stays, and with it the rule of the previous line.
        hold(text, words, 0, 1);
    }

    // The rows' first words are digits or a lone "-": one look settles
    // them. (A holder's first byte is there to read even when it is empty.)
    if ((kKeywordStarts.maybe[static_cast<unsigned char>(first.data()[0])] & static_cast<unsigned>(!isLoneDash(first.view()))) != 0) {
        const std::string_view word = first.view();
        if (word == kSummaryWord) return false;
        if (word == kHeaderWord) {
            hold(text, words, 0, 4);
            takeHeaderName(text, words);
            writeHeader(text, false, out);
            return true;
        }
        if (word == kInstrumentationWord || word == kColumnHeaderWord) return true;
        if (word.starts_with('=')) return true;
        if (word.size() > 1 && word.starts_with('-')) return true;
        if (word == kDirectiveWord) {
            hold(text, words, 0, 2);
            takeDirectiveName(text, words);
            return true;
        }
    }

    // A data row: the line number stands after the first lone "-".
    hold(text, words, 1, 4);
    const unsigned dashes = static_cast<unsigned>(isLoneDash(holders_[0].view())) |
                            static_cast<unsigned>(isLoneDash(holders_[1].view())) << 1 |
                            static_cast<unsigned>(isLoneDash(holders_[2].view())) << 2;
    // A row without one is written and taken back, as above.
    const unsigned holder = kNumberHolder[dashes];
    writeRow(text, holders_[holder].view(), holder != 0, out);
    return true;
}

struct ListingRewriteLoop {
    template <class Way>
    VSZEB_LISTING_INLINE static void run(ListingRewriter& rewriter, ListingLineReader& reader, ListingOutput& out) {
        std::string_view text;
        while (reader.next(text)) {
            if (rewriter.inHeaderPart_ && rewriter.rowQuickly<Way>(text, out)) continue;
            if (!rewriter.line(text, out)) return;
        }
    }
#ifdef VSZEB_LISTING_AVX2
    VSZEB_LISTING_FOR_AVX2 static void runAvx2(ListingRewriter& rewriter, ListingLineReader& reader, ListingOutput& out) {
        run<Avx2Way>(rewriter, reader, out);
    }
#endif
};

void ListingRewriter::rewrite(ListingLineReader& reader, ListingOutput& out) {
#ifdef VSZEB_LISTING_AVX2
    if (scan::avx2::available()) return ListingRewriteLoop::runAvx2(*this, reader, out);
#endif
    ListingRewriteLoop::run<Sse2Way>(*this, reader, out);
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
        // Only the headers and the directives count, and the length of
        // every line before a failure.
        for (;;) {
            reader.skipLinesNotStartingWith(kHeaderPrefix[0], kDirectivePrefix[0]);
            if (!reader.next(line)) break;
            width.line(line);
        }
        std::fclose(in);
    }
    if (!width.found()) return;

    std::FILE* in = std::fopen(path, "r");
    if (!in) return;
    {
        ListingRewriter rewriter(width.width());
        ListingLineReader reader(in);
        ListingOutput output(out);
        rewriter.rewrite(reader, output);
    }
    std::fclose(in);
}

void adjustUntestedListing() { rewriteListingFile(std::string(kListingFile).c_str(), stdout); }

}  // namespace report
