// Starts a Windows program with exactly the command line that an IDE would
// give it, which the words of a Unix command line cannot express (Wine
// quotes them its own way), and hands back the program's exit status.
//   VSZEB_LAUNCH_LINE="\"Z:\\...\\vsZEB.exe\" report cw \"\"" launch.exe
// With VSZEB_LAUNCH_STDIN=pipe the program's standard input is a pipe that
// stays open and empty until it ends, as an IDE that captures the output may
// hand it: whatever waits for input there waits for ever.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
    char* line = std::getenv("VSZEB_LAUNCH_LINE");
    if (!line) {
        std::fputs("launch: VSZEB_LAUNCH_LINE is not set\n", stderr);
        return 125;
    }
    std::string commandLine = line;
    SetEnvironmentVariableA("VSZEB_LAUNCH_LINE", nullptr);
    const char* stdinKind = std::getenv("VSZEB_LAUNCH_STDIN");
    const bool pipeIn = stdinKind && std::string(stdinKind) == "pipe";
    SetEnvironmentVariableA("VSZEB_LAUNCH_STDIN", nullptr);
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (pipeIn) {
        SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
        if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) {
            std::fprintf(stderr, "launch: cannot make a pipe (error %lu)\n", GetLastError());
            return 126;
        }
        // Only the program gets the read end; the write end stays here.
        SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    }
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = pipeIn ? readEnd : GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "launch: cannot start %s (error %lu)\n", line, GetLastError());
        return 126;
    }
    if (pipeIn) CloseHandle(readEnd);
    WaitForSingleObject(pi.hProcess, INFINITE);
    if (pipeIn) CloseHandle(writeEnd);
    DWORD status = 0;
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(status);
}
