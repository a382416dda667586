// The untested listing that zebpost writes, rewritten for the IDE's output
// window: every untested item becomes a line "file(line):" followed by the
// listing's own row, which the IDE can jump from.
//
// The rewrite streams: two passes over the file, each through fixed block
// buffers, so memory does not grow with the listing.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace report {

// Reads a listing line by line the way the tool chain's listings have always
// been read: into a buffer of 1000 bytes. A line of more than 999 characters
// before its newline makes the read fail, and so does the end of the file.
// A last line without a newline is still a line.
//
// The newlines are found 64 bytes at a time and listed ahead, some
// kilobytes at once, so that handing out a line is a look-up, however short
// the line is.
class ListingLineReader {
public:
    static constexpr std::size_t kMaxLine = 999;
    // Bytes that may be read after the end of every line handed out (they
    // belong to the block, not to the line): a line's start is looked at 64
    // bytes at a time, its first 128 bytes are copied in one go, and its
    // words in pieces of 16 bytes.
    static constexpr std::size_t kPadding = 192;

    explicit ListingLineReader(std::FILE* in);
    ~ListingLineReader();
    ListingLineReader(const ListingLineReader&) = delete;
    ListingLineReader& operator=(const ListingLineReader&) = delete;

    // The next line without its newline; false once a read has failed (it
    // stays failed). The view lives until the call after the next: the line
    // before stays readable while the next one is looked at.
    bool next(std::string_view& line) {
        if (listed_ == found_ && !findNewlines()) return nextAtBlockEnd(line);
        const std::size_t at = newlines_[listed_++];
        const std::size_t length = at - begin_;
        if (length > kMaxLine) return fail();
        line = std::string_view(block_ + begin_, length);
        begin_ = at + 1;
        return true;
    }

    // Steps over lines that cannot begin with `a` or `b`, 64 bytes at a
    // time, without handing them out; stops before a line that may, or
    // where a line may be too long, so that `next` then decides. What
    // `next` returns afterwards is what it would have returned for the
    // first line not stepped over.
    void skipLinesNotStartingWith(char a, char b);

private:
    bool findNewlines();
    void listNewlines(std::uint64_t bits, std::size_t at);
    bool nextAtBlockEnd(std::string_view& line);
    bool fail();
    void refill();
    std::FILE* in_;
    std::unique_ptr<char[]> storage_;
    // Two blocks in storage_, the place of their reads page-aligned; the
    // reads go to the one that does not hold the line handed out last.
    char* block_;
    char* otherBlock_;
    std::size_t begin_ = 0;    // first byte not yet handed out
    std::size_t refilledAt_ = 0;  // begin_ right after block_'s read
    std::size_t end_ = 0;      // one past the last byte read
    std::size_t scanned_ = 0;  // one past the last byte looked at for newlines
    // Where the newlines in [begin_, scanned_) stand, in order, from
    // listed_ to found_.
    std::unique_ptr<std::uint32_t[]> newlines_;
    std::size_t listed_ = 0;
    std::size_t found_ = 0;
    std::size_t listAhead_;  // bytes looked at for newlines at once
    bool eof_ = false;
    bool failed_ = false;
};

// First pass: the width of the file-name column. It is the length of the
// longest text after "MONITORED SOURCE FILE : " or after "#line " at the
// start of a line; nothing at all is written when the listing has neither.
class ListingNameWidth {
public:
    void line(std::string_view text);
    bool found() const { return longest_ != 0; }
    std::size_t width() const { return longest_ == 0 ? 0 : longest_ - 24; }

private:
    std::size_t longest_ = 0;  // the line length as the tool chain measures it
};

// Where the rewritten text goes: one fixed block, written to the stream
// and flushed whenever it fills and when the output ends. The caller adds
// whole lines only, so the IDE always gets whole lines.
class ListingOutput {
public:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;

    explicit ListingOutput(std::FILE* out);
    ~ListingOutput();  // writes what is left and flushes the stream
    ListingOutput(const ListingOutput&) = delete;
    ListingOutput& operator=(const ListingOutput&) = delete;

    // Room for `size` more bytes at the end; the caller fills a part of it
    // with whole lines and hands back where it stopped.
    char* room(std::size_t size) {
        if (capacity_ - size_ < size) makeRoom(size);
        return data_.get() + size_;
    }
    void commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void flush();

private:
    void makeRoom(std::size_t size);
    std::FILE* out_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_ = kBlock;
    std::size_t size_ = 0;
};

// Second pass: fed the lines of the listing in order, writes the rewritten
// text to `out`. The rows take their source file from the last header or
// "#line" directive.
class ListingRewriter {
public:
    explicit ListingRewriter(std::size_t nameWidth);

    // Rewrites the lines that `reader` hands out, from where it stands to
    // the end of the listing or of its rewritten part ("SUMMARY"); the rest
    // of the file is not read.
    void rewrite(ListingLineReader& reader, ListingOutput& out);

    // Where the first four words of a line stand: word i is
    // [begin[i], end[i]); `count` of them are there.
    struct Words {
        std::size_t count;
        std::size_t begin[4];
        std::size_t end[4];
    };

private:
    // A text of at most one line, kept in place: the rewrite does no
    // allocation per line. Its bytes after the text may be read (not used),
    // so that it can be copied in pieces of 16 bytes.
    class LineText {
    public:
        // A word of a line handed out by the reader: a short one is copied
        // 16 bytes at once, which the padding after the line allows.
        void assignWord(const char* word, std::size_t size);
        void assign(std::string_view text);
        // `text`, blanks up to `width` characters, then `last`.
        void assignPadded(std::string_view text, std::size_t width, char last);
        std::string_view view() const { return {data_, size_}; }
        const char* data() const { return data_; }
        std::size_t size() const { return size_; }

    private:
        // A line, or a name padded to the width of the longest line.
        static constexpr std::size_t kCapacity = 1024;
        char data_[kCapacity + 16] = {};
        std::size_t size_ = 0;
    };

    // The loop of rewrite(), built once for every processor it may run on.
    friend struct ListingRewriteLoop;

    // `text` is a line as ListingLineReader hands it out, with its padding
    // after it; the line of the call before must still be readable, as the
    // reader keeps it. rowQuickly takes most rows, and only rows: false,
    // with nothing done, for any other line. line takes every line; false
    // at the end of the rewritten part.
    template <class Way>
    bool rowQuickly(std::string_view text, ListingOutput& out);
    bool line(std::string_view text, ListingOutput& out);
    void hold(std::string_view text, const Words& words, std::size_t from, std::size_t to);
    void holdKeptLine();
    void takeHeaderName(std::string_view text, const Words& words);
    void takeDirectiveName(std::string_view text, const Words& words);
    void writeHeader(std::string_view text, bool first, ListingOutput& out) const;
    void writeRow(std::string_view text, std::string_view numberWord, bool wanted, ListingOutput& out) const;
    void setFileName(std::string_view name);

    std::size_t nameWidth_;
    bool inHeaderPart_ = false;  // the first header has been seen
    // What every row of the current source file starts with: its name,
    // padded to the column, and "(".
    LineText rowPrefix_;
    // Words of the lines are read into four holders that keep their values
    // from line to line: a line with fewer words leaves the others as they
    // were, and the rows' rule relies on that.
    LineText holders_[4];
    // Most rows set all four, and are not copied into the holders: the
    // last of them stands here instead, until a line that is not such a
    // row needs the holders (while that row is still readable). Empty when
    // the holders are all there is.
    std::string_view keptLine_;
};

// Both passes over the listing at `path`, the rewritten text written to
// `out`. A listing that cannot be opened, or that has no header or "#line "
// line, writes nothing. `out` is flushed at the end.
void rewriteListingFile(const char* path, std::FILE* out);

// The untested listing "zebuntested.txt" of the current directory, rewritten
// onto standard output.
void adjustUntestedListing();

}  // namespace report
