// On Windows the real interpreter runs every command: cmd.exe, as the tool
// chain's batch files and the users' command texts expect.
//
// vsZEB is a GUI program, so it usually has no console of its own; cmd.exe is
// a console program, and Windows would give it a new console window for
// every command. Where the commands' output goes, and where "pause" waits:
// - The IDE handed us handles (its output window reads a pipe): the commands
//   write to them, and run without a console window, so none flashes up.
// - We have a console (started from a command prompt): the commands share it.
// - Nothing at all to write to (started without handles): the command gets
//   its own console window, the only place where the user can see the
//   CodeWarrior listing and press the key that "pause" waits for.
// A key can be pressed only at a console. Any other input that the IDE hands
// over (a pipe that it never writes to, above all) is not passed on: the
// commands read NUL instead, so "pause" returns at once and cannot hang the
// IDE.
#include "sys/command.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "sys/console.h"
#include "sys/env.h"
#include "sys/messages.h"
#include "sys/process.h"

namespace sys {
namespace {

bool isUsable(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }

bool isConsole(HANDLE h) {
    DWORD mode = 0;
    return isUsable(h) && ::GetConsoleMode(h, &mode) != 0;
}

// An inheritable copy of one of our standard handles (a handle handed to us
// need not be inheritable); nullptr when there is none.
HANDLE inheritableCopy(HANDLE h) {
    if (!isUsable(h)) return nullptr;
    HANDLE copy = nullptr;
    HANDLE self = ::GetCurrentProcess();
    if (!::DuplicateHandle(self, h, self, &copy, 0, TRUE, DUPLICATE_SAME_ACCESS)) return nullptr;
    return copy;
}

HANDLE inheritableNul() {
    SECURITY_ATTRIBUTES sa;
    ZeroMemory(&sa, sizeof sa);
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    HANDLE h = ::CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    return isUsable(h) ? h : nullptr;
}

// The standard handles and the console of one command.
class ChildStdio {
public:
    ChildStdio() {
        const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
        const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
        const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
        // Nothing to write to: the command writes to a console, ours or its own window.
        if (!isUsable(out) && !isUsable(err)) return;
        passHandles_ = true;
        // Without a console of ours it gets one of its own, but never a window.
        if (::GetConsoleCP() == 0) flags_ = CREATE_NO_WINDOW;
        in_ = isConsole(in) ? inheritableCopy(in) : inheritableNul();
        out_ = inheritableCopy(out);
        err_ = inheritableCopy(err);
    }
    ~ChildStdio() {
        for (HANDLE h : {in_, out_, err_})
            if (h) ::CloseHandle(h);
    }
    ChildStdio(const ChildStdio&) = delete;
    ChildStdio& operator=(const ChildStdio&) = delete;

    void fill(STARTUPINFOA& si) const {
        if (!passHandles_) return;
        si.dwFlags |= STARTF_USESTDHANDLES;
        si.hStdInput = in_;
        si.hStdOutput = out_;
        si.hStdError = err_;
    }
    DWORD creationFlags() const { return flags_; }

private:
    bool passHandles_ = false;
    DWORD flags_ = 0;
    HANDLE in_ = nullptr;
    HANDLE out_ = nullptr;
    HANDLE err_ = nullptr;
};

std::string systemDirectory() {
    char buffer[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string();
}

}  // namespace

int runCommand(const std::string& text) {
    std::fflush(nullptr);
    const std::string interpreter = interpreterPath(getEnv("COMSPEC"), systemDirectory());
    if (interpreter.empty()) {
        writeLine(msg::cannotStartInterpreter("cmd.exe", ERROR_FILE_NOT_FOUND));
        return 1;
    }
    // /S: cmd drops exactly the outer quotes and keeps the text inside as it is.
    std::string line = "\"" + interpreter + "\" /S /C \"" + text + "\"";
    std::vector<char> mutableLine(line.begin(), line.end());
    mutableLine.push_back('\0');

    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ZeroMemory(&pi, sizeof pi);
    BOOL started = FALSE;
    DWORD error = 0;
    {
        const ChildStdio stdio;
        stdio.fill(si);
        // By its full path as the program to run: CreateProcess searches for nothing.
        started = ::CreateProcessA(interpreter.c_str(), mutableLine.data(), nullptr, nullptr, TRUE, stdio.creationFlags(),
                                   nullptr, nullptr, &si, &pi);
        error = started ? 0 : ::GetLastError();
    }
    if (!started) {
        writeLine(msg::cannotStartInterpreter(interpreter, error));
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
