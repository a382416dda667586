// Starts a Windows program with exactly the command line that an IDE would
// give it, which the words of a Unix command line cannot express (Wine
// quotes them its own way), and hands back the program's exit status.
//   VSZEB_LAUNCH_LINE="\"Z:\\...\\vsZEB.exe\" report cw \"\"" launch.exe
// With VSZEB_LAUNCH_STDIN=pipe the program's standard input is a pipe that
// stays open and empty until it ends, as an IDE that captures the output may
// hand it: whatever waits for input there waits for ever.
// VSZEB_LAUNCH_UNSET="NAME ..." removes those variables from the program's
// environment: Wine puts the system's own (COMSPEC among them) into every
// process, whatever the Unix environment holds.
//
// Copied under any other name (a decoy of a scenario, such as a cmd.exe in
// the project directory), it stands for a file that must never run: it notes
// its command line in %VSZEB_TEST_ROOT%\decoy.log and ends with 0, as a
// command that worked would.
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

bool runAsDecoy() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "wine-launch.exe") return false;
    const char* root = std::getenv("VSZEB_TEST_ROOT");
    if (root) {
        if (FILE* log = std::fopen((std::string(root) + "\\decoy.log").c_str(), "a")) {
            std::fprintf(log, "%s\n", GetCommandLineA());
            std::fclose(log);
        }
    }
    return true;
}

}  // namespace

int main() {
    if (runAsDecoy()) return 0;
    if (const char* unset = std::getenv("VSZEB_LAUNCH_UNSET")) {
        std::istringstream names{std::string(unset)};
        for (std::string name; names >> name;) SetEnvironmentVariableA(name.c_str(), nullptr);
        SetEnvironmentVariableA("VSZEB_LAUNCH_UNSET", nullptr);
    }
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
