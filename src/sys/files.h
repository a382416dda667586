// File services. Text is single-byte; every name is used as given, so
// relative names address the current directory.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sys {

// The platform's path separator: '\\' on Windows, '/' elsewhere. Every text
// that joins a directory and a name uses it.
extern const char pathSeparator;

// Whether the system's paths are UTF-8 (Linux), so that a text cut from one
// must keep its characters whole; false where a path is a string of bytes
// in the ANSI code page (Windows).
extern const bool pathsAreUtf8;

// True when a name used as a file name would lead out of the current
// directory or not name a file in it: it holds one of the path characters,
// or it is "." or "..". The path characters are '/' and '\\' everywhere, and
// on Windows ':' too, which names a drive or a stream of a file.
bool namesPath(std::string_view name);

// dir, the separator, name. Nothing is normalised: a dir that already ends in
// a separator gives two, as the user's installation wrote it.
std::string joinPath(std::string_view dir, std::string_view name);

// True when the file can be opened for reading (shared); it is closed at once.
bool fileExists(const std::string& path);

// Removes one file; true when the platform reports success.
bool removeFile(const std::string& path);

// Creates one directory level; false when it fails (for example when it exists).
bool makeDirectory(const std::string& path);

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path);

// Replaces the file whole or not at all: the content goes to a temporary file
// beside it, is flushed, and is renamed over the old file. `text` true writes
// line ends in the platform's text form ("\n" becomes "\r\n" on Windows).
// False when anything failed; the old file is then untouched.
bool writeFileAtomic(const std::string& path, std::string_view content, bool text = true);
// The same, telling why it failed: nothing when the file was replaced, else
// the reason as a sentence in the system's words (sys::msg).
std::optional<std::string> writeFileAtomicFault(const std::string& path, std::string_view content, bool text = true);

// Tests only: while set, the flush of writeFileAtomic's temporary file to the
// disk fails, as on a failing disk or network share, which no file system
// gives on demand.
void failFileFlushForTests(bool fail);

// The content with every "\n" written as "\r\n", as a Windows text stream does.
std::string withCrLf(std::string_view content);

}  // namespace sys
