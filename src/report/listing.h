// The untested listing that zebpost writes, rewritten for the IDE's output
// window: every untested item becomes a line "file(line):" followed by the
// listing's own row, which the IDE can jump from.
//
// The rewrite streams: two passes over the file, each through one fixed
// block buffer, so memory does not grow with the listing.
#pragma once

#include <cstddef>
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
class ListingLineReader {
public:
    static constexpr std::size_t kMaxLine = 999;

    explicit ListingLineReader(std::FILE* in);
    ~ListingLineReader();
    ListingLineReader(const ListingLineReader&) = delete;
    ListingLineReader& operator=(const ListingLineReader&) = delete;

    // The next line without its newline; false once a read has failed (it
    // stays failed). The view lives until the next call.
    bool next(std::string_view& line) {
        // The usual case, a whole line in the block, without a call.
        const char* start = block_.get() + begin_;
        const std::size_t unread = end_ - begin_;
        // A newline further on than the buffer reaches would fail anyway.
        const std::size_t reach = unread < kMaxLine + 1 ? unread : kMaxLine + 1;
        if (const void* nl = std::memchr(start, '\n', reach)) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
            line = std::string_view(start, length);
            begin_ += length + 1;
            return true;
        }
        return nextAfterRefill(line);
    }

private:
    bool nextAfterRefill(std::string_view& line);
    void refill();
    std::FILE* in_;
    std::unique_ptr<char[]> block_;
    std::size_t begin_ = 0;  // first byte not yet handed out
    std::size_t end_ = 0;    // one past the last byte read
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
// whenever it fills and when the output ends.
class ListingOutput {
public:
    static constexpr std::size_t kBlock = std::size_t{1} << 18;

    explicit ListingOutput(std::FILE* out);
    ~ListingOutput();  // writes what is left and flushes the stream
    ListingOutput(const ListingOutput&) = delete;
    ListingOutput& operator=(const ListingOutput&) = delete;

    // Room for `size` more bytes at the end; the caller fills a part of it
    // and hands back where it stopped.
    char* room(std::size_t size);
    void commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void append(std::string_view text);
    void flush();

private:
    void writeOut();
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

    // Returns false when the listing's rewritten part is over ("SUMMARY"):
    // the rest of the file is not to be read.
    bool line(std::string_view text, ListingOutput& out);

private:
    void takeHeaderName(std::string_view rest);
    void takeDirectiveName(std::string_view rest);
    void writeRow(std::string_view text, std::string_view numberWord, ListingOutput& out) const;

    // A text of at most one line, kept in place: the rewrite does no
    // allocation per line.
    class LineText {
    public:
        // `readable`: how many bytes from the start of `text` may be read.
        void assign(std::string_view text, std::size_t readable = 0);
        std::string_view view() const { return {data_, size_}; }

    private:
        char data_[1000];
        std::size_t size_ = 0;
    };

    void setFileName(std::string_view name);

    std::size_t nameWidth_;
    bool inHeaderPart_ = false;  // the first header has been seen
    // What every row of the current source file starts with: its name,
    // padded to the column, and "(".
    std::string rowPrefix_;
    // Words of the lines are read into four holders that keep their values
    // from line to line: a line with fewer words leaves the others as they
    // were, and the rows' rule relies on that.
    LineText words_[4];
};

// Both passes over the listing at `path`, the rewritten text written to
// `out`. A listing that cannot be opened, or that has no header or "#line "
// line, writes nothing. `out` is flushed at the end.
void rewriteListingFile(const char* path, std::FILE* out);

// The untested listing "zebuntested.txt" of the current directory, rewritten
// onto standard output.
void adjustUntestedListing();

}  // namespace report
