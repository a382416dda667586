// On Windows the real interpreter runs every command: cmd.exe, as the tool
// chain's batch files and the users' command texts expect.
#include "sys/command.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "sys/console.h"
#include "sys/env.h"
#include "sys/messages.h"

namespace sys {
namespace {

// The child gets our standard handles; they must be inheritable for that,
// which handles handed to us need not be.
HANDLE inheritable(DWORD which) {
    HANDLE h = ::GetStdHandle(which);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return h;
    HANDLE copy = nullptr;
    HANDLE self = ::GetCurrentProcess();
    if (!::DuplicateHandle(self, h, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return h;
    return copy;
}

void release(HANDLE copy, DWORD which) {
    if (copy != nullptr && copy != INVALID_HANDLE_VALUE && copy != ::GetStdHandle(which)) ::CloseHandle(copy);
}

}  // namespace

int runCommand(const std::string& text) {
    std::fflush(nullptr);
    std::string comspec = getEnv("COMSPEC");
    if (comspec.empty()) comspec = "cmd.exe";
    // /S: cmd drops exactly the outer quotes and keeps the text inside as it is.
    std::string line = "\"" + comspec + "\" /S /C \"" + text + "\"";
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');

    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = inheritable(STD_INPUT_HANDLE);
    si.hStdOutput = inheritable(STD_OUTPUT_HANDLE);
    si.hStdError = inheritable(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    BOOL started = ::CreateProcessA(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                    nullptr, &si, &pi);
    DWORD error = started ? 0 : ::GetLastError();
    release(si.hStdInput, STD_INPUT_HANDLE);
    release(si.hStdOutput, STD_OUTPUT_HANDLE);
    release(si.hStdError, STD_ERROR_HANDLE);
    if (!started) {
        writeErrorLine(msg::cannotStartInterpreter(comspec, error));
        return 1;
    }
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    if (!::GetExitCodeProcess(pi.hProcess, &code)) code = 1;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

}  // namespace sys
