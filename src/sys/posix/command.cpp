// The cmd-compatible layer: the interpreter features that the program's
// command texts use, carried out directly, with no shell in between, so that
// nothing in a project name or an option can turn into a second command.
#include "sys/command.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "sys/cmdparse.h"
#include "sys/env.h"
#include "sys/messages.h"

extern char** environ;

namespace sys {
namespace {

using cmd::Builtin;
using cmd::Word;

constexpr int kNotFound = 127;
constexpr int kCannotRun = 126;
// What a program ended by a signal gives; Ctrl-C at "pause" ends the command so.
constexpr int kSignalled = 128;
constexpr const char* kShell = "/bin/sh";
constexpr const char* kOpener = "xdg-open";

void writeFd(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
}

void errorLine(int fd, std::string_view line) {
    writeFd(fd, line);
    writeFd(fd, "\n");
}

bool endsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    s = s.substr(s.size() - suffix.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != suffix[i]) return false;
    return true;
}

bool isBatch(std::string_view name) { return endsWithNoCase(name, ".bat") || endsWithNoCase(name, ".cmd"); }

std::string absolute(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    return currentDirectory().value_or(".") + "/" + path;
}

struct Program {
    std::string path;  // empty: not found; `status` and `error` tell why
    int status = 0;
    std::string error;
};

bool usable(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return ::access(path.c_str(), isBatch(path) ? R_OK : X_OK) == 0;
}

// A name with a '/' is a path (from `dir` when it is relative and a
// directory is given); any other name is looked up in `dir`, then on PATH.
Program findProgram(const std::string& name, const std::optional<std::string>& dir) {
    Program program;
    if (name.find('/') != std::string::npos) {
        std::string path = dir && name[0] != '/' ? *dir + "/" + name : name;
        struct stat st;
        if (::stat(path.c_str(), &st) != 0) {
            program.status = kNotFound;
            program.error = msg::notRecognized(name);
        } else if (S_ISDIR(st.st_mode)) {
            program.status = kCannotRun;
            program.error = msg::isDirectory(name);
        } else if (!usable(path)) {
            program.status = kCannotRun;
            program.error = msg::cannotRun(name, std::strerror(EACCES));
        } else {
            program.path = path;
        }
        return program;
    }
    std::vector<std::string> places;
    if (dir) places.push_back(*dir);
    std::string searchPath = getEnv("PATH");
    if (searchPath.empty()) searchPath = "/usr/bin:/bin";
    for (std::size_t start = 0;;) {
        std::size_t colon = searchPath.find(':', start);
        std::string entry = searchPath.substr(start, colon - start);
        places.push_back(entry.empty() ? "." : entry);
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    for (const std::string& place : places) {
        std::string path = place + "/" + name;
        if (!name.empty() && usable(path)) {
            program.path = path;
            return program;
        }
    }
    program.status = kNotFound;
    program.error = msg::notRecognized(name);
    return program;
}

// A batch file is run by the shell; its name cannot pass for an option there.
std::vector<std::string> argumentsFor(const std::string& path, const std::vector<std::string>& words) {
    std::vector<std::string> argv;
    if (isBatch(path)) {
        argv.push_back(kShell);
        argv.push_back(path[0] == '-' ? "./" + path : path);
    } else {
        argv.push_back(words[0]);
    }
    argv.insert(argv.end(), words.begin() + 1, words.end());
    return argv;
}

std::vector<char*> pointersTo(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

int statusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) return WEXITSTATUS(waitStatus);
    if (WIFSIGNALED(waitStatus)) return kSignalled + WTERMSIG(waitStatus);
    return 1;
}

int waitFor(pid_t pid) {
    int waitStatus = 0;
    while (::waitpid(pid, &waitStatus, 0) < 0) {
        if (errno != EINTR) return 1;
    }
    return statusOf(waitStatus);
}

class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// What every command starts with, whatever we were given: the signals that
// we handle our own way at their defaults, and nothing blocked.
class SpawnAttributes {
public:
    SpawnAttributes() {
        ::posix_spawnattr_init(&attr_);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGCHLD);
        ::posix_spawnattr_setsigdefault(&attr_, &defaults);
        sigset_t none;
        sigemptyset(&none);
        ::posix_spawnattr_setsigmask(&attr_, &none);
        ::posix_spawnattr_setflags(&attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attr_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attr_; }

private:
    posix_spawnattr_t attr_;
};

// A pipe whose reader has gone (the IDE closed its output window), or a
// terminal that hung up: nothing written there arrives.
bool readerGone(int fd) {
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)) != 0;
}

int runProgram(const std::vector<std::string>& words, bool joinStderr, int errFd) {
    Program program = findProgram(words[0], std::nullopt);
    if (program.path.empty()) {
        errorLine(errFd, program.error);
        return program.status;
    }
    std::vector<std::string> argv = argumentsFor(program.path, words);
    std::vector<char*> args = pointersTo(argv);
    const std::string& exec = isBatch(program.path) ? argv[0] : program.path;
    FileActions actions;
    // Output that nobody reads goes nowhere, as ours does: the command runs as
    // it would with a reader, where SIGPIPE would end it at its first line.
    for (int fd : {1, 2})
        if (readerGone(fd)) ::posix_spawn_file_actions_addopen(actions.get(), fd, "/dev/null", O_WRONLY, 0);
    if (joinStderr) ::posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    const SpawnAttributes attributes;
    pid_t pid;
    int rc = ::posix_spawn(&pid, exec.c_str(), actions.get(), attributes.get(), args.data(), environ);
    if (rc != 0) {
        errorLine(errFd, msg::cannotRun(words[0], std::strerror(rc)));
        return rc == ENOENT ? kNotFound : kCannotRun;
    }
    return waitFor(pid);
}

// Started and left running: an intermediate child starts the program in a
// session of its own and ends at once, so nothing is left for us to reap.
// The program gets no standard handles of ours, or the IDE, reading our
// output to its end, would wait for the program too.
int startDetached(const std::vector<std::string>& words, const std::optional<std::string>& dir, int errFd) {
    Program program = findProgram(words[0], dir);
    if (program.path.empty()) {
        errorLine(errFd, program.error);
        return program.status;
    }
    program.path = absolute(program.path);
    std::vector<std::string> argv = argumentsFor(program.path, words);
    std::vector<char*> args = pointersTo(argv);
    const std::string exec = isBatch(program.path) ? argv[0] : program.path;
    FileActions actions;
    ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0);
    ::posix_spawn_file_actions_adddup2(actions.get(), 1, 2);
    const SpawnAttributes attributes;

    pid_t middle = ::fork();
    if (middle < 0) {
        errorLine(errFd, msg::cannotRun(words[0], std::strerror(errno)));
        return kCannotRun;
    }
    if (middle == 0) {
        // The exit status carries the errno of a failure back to us.
        if (dir && ::chdir(dir->c_str()) != 0) ::_exit(errno > 0 && errno < 256 ? errno : EIO);
        ::setsid();
        pid_t pid;
        int rc = ::posix_spawn(&pid, exec.c_str(), actions.get(), attributes.get(), args.data(), environ);
        ::_exit(rc >= 0 && rc < 256 ? rc : EIO);
    }
    int waitStatus = 0;
    while (::waitpid(middle, &waitStatus, 0) < 0) {
        if (errno != EINTR) return 0;  // someone reaped it already; it was forked
    }
    if (WIFEXITED(waitStatus) && WEXITSTATUS(waitStatus) == 0) return 0;
    int code = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : EIO;
    errorLine(errFd, msg::cannotRun(words[0], std::strerror(code)));
    return kCannotRun;
}

int builtinStart(const std::vector<Word>& args, int errFd) {
    cmd::StartRequest request = cmd::parseStart(args);
    if (!request.error.empty()) {
        errorLine(errFd, request.error);
        return 1;
    }
    if (request.directory) {
        struct stat st;
        if (::stat(request.directory->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            errorLine(errFd, msg::kDirectoryNameInvalid);
            return 1;
        }
    }
    // A file alone is a document for the desktop's opener to show.
    if (request.words.size() == 1 && !request.directory && !isBatch(request.words[0]))
        request.words.insert(request.words.begin(), kOpener);
    return startDetached(request.words, request.directory, errFd);
}

int builtinType(const std::vector<Word>& args, int errFd) {
    if (args.empty()) {
        errorLine(errFd, msg::kSyntaxIncorrect);
        return 1;
    }
    int status = 0;
    for (const Word& arg : args) {
        int fd = ::open(arg.text.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            errorLine(errFd, errno == ENOENT || errno == ENOTDIR ? msg::kFileNotFound : msg::kAccessDenied);
            status = 1;
            continue;
        }
        char chunk[8192];
        ssize_t n;
        while ((n = ::read(fd, chunk, sizeof chunk)) != 0) {
            if (n < 0) {
                if (errno == EINTR) continue;
                errorLine(errFd, msg::kAccessDenied);  // a directory, or a read that failed
                status = 1;
                break;
            }
            writeFd(1, std::string_view(chunk, static_cast<std::size_t>(n)));
        }
        ::close(fd);
    }
    return status;
}

// The terminal as "pause" found it, for a signal that ends the program while
// it waits for the key.
termios g_terminalBeforePause;

void restoreTerminalAndEnd(int sig) {
    ::tcsetattr(0, TCSANOW, &g_terminalBeforePause);
    ::raise(sig);  // its default action now (SA_RESETHAND), once this returns
}

// One key at a time, without echo, and with Ctrl-C read as a key, so that
// "pause" sees it and the terminal is put back whatever ends the wait.
class KeyAtATime {
public:
    explicit KeyAtATime(const termios& saved) {
        g_terminalBeforePause = saved;
        struct sigaction ours {};
        ours.sa_handler = restoreTerminalAndEnd;
        ours.sa_flags = SA_RESETHAND;
        sigemptyset(&ours.sa_mask);
        for (std::size_t i = 0; i < std::size(kEnding); ++i) {
            ::sigaction(kEnding[i], nullptr, &before_[i]);
            if (before_[i].sa_handler != SIG_IGN) ::sigaction(kEnding[i], &ours, nullptr);
        }
        termios keyAtATime = saved;
        keyAtATime.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
        keyAtATime.c_cc[VMIN] = 1;
        keyAtATime.c_cc[VTIME] = 0;
        ::tcsetattr(0, TCSANOW, &keyAtATime);
    }
    ~KeyAtATime() {
        ::tcsetattr(0, TCSANOW, &g_terminalBeforePause);
        for (std::size_t i = 0; i < std::size(kEnding); ++i) ::sigaction(kEnding[i], &before_[i], nullptr);
    }
    KeyAtATime(const KeyAtATime&) = delete;
    KeyAtATime& operator=(const KeyAtATime&) = delete;

private:
    static constexpr int kEnding[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
    struct sigaction before_[std::size(kEnding)] {};
};

// As cmd's "pause": any key goes on; Ctrl-C shows "^C" and ends the command
// text there, with the status of a program that Ctrl-C ended.
int builtinPause() {
    if (!::isatty(0)) return 0;
    writeFd(1, msg::kPressAnyKey);
    termios saved;
    const bool terminal = ::tcgetattr(0, &saved) == 0;
    char key = 0;
    ssize_t n;
    {
        std::optional<KeyAtATime> mode;
        if (terminal) mode.emplace(saved);
        while ((n = ::read(0, &key, 1)) < 0 && errno == EINTR) {
        }
    }
    const bool interrupt = n == 1 && terminal && (saved.c_lflag & ISIG) != 0 &&
                           saved.c_cc[VINTR] != _POSIX_VDISABLE && static_cast<cc_t>(key) == saved.c_cc[VINTR];
    writeFd(1, interrupt ? "^C\n" : "\n");
    return interrupt ? kSignalled + SIGINT : 0;
}

bool isSwitch(const Word& w, char letter) {
    return w.raw.size() == 2 && w.raw[0] == '/' && std::tolower(static_cast<unsigned char>(w.raw[1])) == letter;
}

int builtinRmdir(const std::vector<Word>& args, int errFd) {
    bool tree = false;
    std::vector<std::string> dirs;
    for (const Word& arg : args) {
        if (isSwitch(arg, 's'))
            tree = true;
        else if (!isSwitch(arg, 'q'))  // quiet: we never ask anyway
            dirs.push_back(arg.text);
    }
    if (dirs.empty()) {
        errorLine(errFd, msg::kSyntaxIncorrect);
        return 1;
    }
    int status = 0;
    for (const std::string& dir : dirs) {
        struct stat st;
        if (::lstat(dir.c_str(), &st) != 0) {
            errorLine(errFd, msg::kFileNotFound);
            status = 2;
            continue;
        }
        struct stat target;
        if (S_ISLNK(st.st_mode)) {
            // A link to a directory goes, not what it points to.
            if (::stat(dir.c_str(), &target) == 0 && S_ISDIR(target.st_mode) && ::unlink(dir.c_str()) == 0)
                continue;
            errorLine(errFd, msg::kDirectoryNameInvalid);
            status = 1;
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            errorLine(errFd, msg::kDirectoryNameInvalid);
            status = 1;
            continue;
        }
        std::error_code ec;
        if (tree) {
            std::filesystem::remove_all(dir, ec);
            if (ec) {
                errorLine(errFd, msg::kAccessDenied);
                status = 1;
            }
        } else if (::rmdir(dir.c_str()) != 0) {
            errorLine(errFd, errno == ENOTEMPTY || errno == EEXIST ? msg::kDirectoryNotEmpty : msg::kAccessDenied);
            status = 1;
        }
    }
    return status;
}

// Like cmd, a file that is not there is reported but is no failure.
int builtinDel(const std::vector<Word>& args, int errFd) {
    if (args.empty()) {
        errorLine(errFd, msg::kSyntaxIncorrect);
        return 1;
    }
    int status = 0;
    for (const Word& arg : args) {
        struct stat st;
        if (::lstat(arg.text.c_str(), &st) != 0) {
            errorLine(errFd, msg::couldNotFind(absolute(arg.text)));
            continue;
        }
        if (S_ISDIR(st.st_mode) || ::unlink(arg.text.c_str()) != 0) {
            errorLine(errFd, msg::kAccessDenied);
            status = 1;
        }
    }
    return status;
}

int runOne(const cmd::Command& command) {
    const int errFd = command.joinStderr ? 1 : 2;
    const std::vector<Word> args(command.words.begin() + 1, command.words.end());
    switch (cmd::builtinOf(command.words[0])) {
        case Builtin::type: return builtinType(args, errFd);
        case Builtin::pause: return builtinPause();
        case Builtin::start: return builtinStart(args, errFd);
        case Builtin::rmdir: return builtinRmdir(args, errFd);
        case Builtin::del: return builtinDel(args, errFd);
        case Builtin::none: break;
    }
    std::vector<std::string> words;
    for (const Word& w : command.words) words.push_back(w.text);
    return runProgram(words, command.joinStderr, errFd);
}

}  // namespace

int runCommand(const std::string& text) {
    std::fflush(nullptr);
    const cmd::Parsed parsed = cmd::parseCommandText(text);
    if (!parsed.error.empty()) {
        // Standard output: the IDE shows nothing else, and this is the
        // layer's own failure, not one of the command's.
        errorLine(1, msg::rejected(text, parsed.error));
        return 1;
    }
    int status = 0;
    for (const cmd::Command& command : parsed.commands) {
        status = runOne(command);
        if (status != 0) break;
    }
    return status;
}

}  // namespace sys
