#include "sys/files.h"

#include <windows.h>

#include <algorithm>
#include <atomic>

namespace sys {

const char pathSeparator = '\\';

bool fileExists(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}

bool removeFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool makeDirectory(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool writeFileAtomic(const std::string& path, std::string_view content, bool text) {
    static std::atomic<unsigned> counter{0};
    const std::string data = text ? withCrLf(content) : std::string(content);
    std::string temp;
    HANDLE h = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        temp = path + ".tmp" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++);
        h = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        ok = ::WriteFile(h, data.data() + done, chunk, &written, nullptr) != 0 && written == chunk;
        done += written;
    }
    ok = ok && ::FlushFileBuffers(h) != 0;
    ok = ::CloseHandle(h) != 0 && ok;
    ok = ok && ::MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) ::DeleteFileA(temp.c_str());
    return ok;
}

}  // namespace sys
