// Starts a Windows program with exactly the command line that an IDE would
// give it, which the words of a Unix command line cannot express (Wine
// quotes them its own way), and hands back the program's exit status.
//   VSZEB_LAUNCH_LINE="\"Z:\\...\\vsZEB.exe\" report cw \"\"" launch.exe
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
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "launch: cannot start %s (error %lu)\n", line, GetLastError());
        return 126;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(pi.hProcess, &status);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(status);
}
