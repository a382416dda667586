#include "sys/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>

#include "sys/messages.h"
#include "sys/env.h"

namespace sys {

const char pathSeparator = '\\';
const bool pathsAreUtf8 = false;

bool fileExists(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

bool removeFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool makeDirectory(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

namespace {

// The long-path form of a name ("\\?\C:\dir\name", "\\?\UNC\server\share\name"),
// which the wide file functions take beyond MAX_PATH. Empty when the name
// cannot be made a full path.
std::wstring longPathForm(const std::string& path) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring name(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), name.data(), n);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (got == 0) return {};
        if (got < full.size()) {
            full.resize(got);
            break;
        }
        full.resize(got);
    }
    if (full.rfind(L"\\\\?\\", 0) == 0 || full.rfind(L"\\\\.\\", 0) == 0) return full;
    if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::optional<std::string> writeFault(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::string(msg::kAccessDenied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::string(msg::kDiskFull);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:
        return std::string(msg::kPathNotFound);
    default:
        return msg::otherWriteFault("Windows error " + std::to_string(error));
    }
}

// The tests that kill a writer or race two of them need the write to last
// long enough to be hit inside it: VSZEB_TEST_SLOW_WRITE (microseconds,
// rounded up to the milliseconds that Sleep counts) makes each step of the
// write, and each byte of its content, take that long. Unset: no pause.
DWORD testPause() {
    static const auto pause = static_cast<DWORD>(
        (std::strtoul(getEnv("VSZEB_TEST_SLOW_WRITE").c_str(), nullptr, 10) + 999) / 1000);
    return pause;
}

// Always true, so that it can stand between the steps of a chain of them.
bool step() {
    if (testPause() > 0) ::Sleep(testPause());
    return true;
}

bool flushFails = false;

bool flushToDisk(HANDLE h) {
    if (flushFails) {
        ::SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return ::FlushFileBuffers(h) != 0;
}

}  // namespace

void failFileFlushForTests(bool fail) { flushFails = fail; }

std::optional<std::string> writeFileAtomicFault(const std::string& path, std::string_view content, bool text) {
    static std::atomic<unsigned> counter{0};
    const std::string data = text ? withCrLf(content) : std::string(content);
    // The temporary file's name is longer than the file's own, and a file
    // whose path is just within MAX_PATH would have a temporary one beyond
    // it. In the long-path form neither has that limit, whatever the length
    // of the file's name (a shorter temporary name cannot always be found:
    // a one-letter name leaves no room for a unique one).
    const std::wstring target = longPathForm(path);
    if (target.empty()) return writeFault(::GetLastError());
    // Windows refuses to replace a directory with "access denied"; the
    // reason is more use to the user.
    if (const DWORD attributes = ::GetFileAttributesW(target.c_str());
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::string(msg::kDirectoryInItsPlace);
    std::wstring temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    step();
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = target + L".tmp" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
        h = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return writeFault(::GetLastError());
    }
    if (h == INVALID_HANDLE_VALUE) return writeFault(ERROR_FILE_EXISTS);
    bool ok = step();
    DWORD error = 0;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        step();
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, testPause() > 0 ? 1 : 1u << 20));
        DWORD written = 0;
        ok = ::WriteFile(h, data.data() + done, chunk, &written, nullptr) != 0 && written == chunk;
        if (!ok) error = ::GetLastError();
        done += written;
    }
    if (ok && !(step() && flushToDisk(h) && step())) {
        ok = false;
        error = ::GetLastError();
    }
    if (::CloseHandle(h) == 0 && ok) {
        ok = false;
        error = ::GetLastError();
    }
    if (ok && !(step() && ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!ok) ::DeleteFileW(temp.c_str());
    step();
    if (!ok) return writeFault(error);
    return std::nullopt;
}

}  // namespace sys
