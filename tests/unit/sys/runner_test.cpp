// The command runner on systems without cmd.exe: real child processes, the
// helper program and small batch files, output captured through pipes.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "sys/command.h"
#include "sys/console.h"
#include "sys/process.h"

namespace {

namespace fs = std::filesystem;

const std::string kHelper = VSZEB_TEST_HELPER;

struct Result {
    int status;
    std::string out;
    std::string err;
};

std::string drain(int fd) {
    std::string text;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// Runs `body` with standard output and error on pipes of their own and
// standard input on /dev/null (so that "pause" never waits here).
template <typename Body>
Result capture(Body body) {
    std::fflush(nullptr);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) std::abort();
    int saved[3] = {::fcntl(0, F_DUPFD_CLOEXEC, 3), ::fcntl(1, F_DUPFD_CLOEXEC, 3), ::fcntl(2, F_DUPFD_CLOEXEC, 3)};
    int null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::dup2(null, 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::close(null);
    ::close(out[1]);
    ::close(err[1]);
    int status = body();
    std::fflush(nullptr);
    for (int fd = 0; fd < 3; ++fd) {
        ::dup2(saved[fd], fd);
        ::close(saved[fd]);
    }
    return {status, drain(out[0]), drain(err[0])};
}

Result run(const std::string& text) {
    return capture([&] { return sys::runCommand(text); });
}

bool appears(const fs::path& file) {
    // Generous: a loaded machine may take its time to start a process.
    for (int i = 0; i < 600 && !fs::exists(file); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return fs::exists(file);
}

std::string slurp(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Runner : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vszeb-run-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = fs::canonical(pattern);
        before_ = fs::current_path();
        fs::current_path(dir_);
        const char* path = std::getenv("PATH");
        savedPath_ = path ? path : "";
    }
    void TearDown() override {
        ::setenv("PATH", savedPath_.c_str(), 1);
        fs::current_path(before_);
        fs::remove_all(dir_);
    }
    void write(const fs::path& file, const std::string& text, fs::perms perms = fs::perms::owner_read |
                                                                                 fs::perms::owner_write) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        fs::permissions(file, perms);
    }
    // A directory of our own first on PATH.
    fs::path binOnPath() {
        fs::path bin = dir_ / "bin";
        fs::create_directories(bin);
        ::setenv("PATH", (bin.string() + ":" + savedPath_).c_str(), 1);
        return bin;
    }
    fs::path dir_, before_;
    std::string savedPath_;
};

TEST_F(Runner, ExitStatusesComeBack) {
    for (int code : {0, 1, 3, 255}) EXPECT_EQ(run(kHelper + " exit " + std::to_string(code)).status, code);
    // A program killed by a signal has failed.
    EXPECT_EQ(run("/bin/sh -c \"kill -TERM $$\"").status, 128 + 15);
}

TEST_F(Runner, ArgumentsAreSplitAtBlanksAndQuotesGroupThem) {
    auto r = run(kHelper + " args  one \"two words\" \"\" a\"b c\"d\ttab");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[one]\n[two words]\n[]\n[ab cd]\n[tab]\n");
}

TEST_F(Runner, ShellCharactersReachTheProgramAsTheyStand) {
    const std::string evil = "a;touch INJ1 b|touch INJ2 $(touch INJ3) `touch INJ4` & touch INJ5 >INJ6 <x %P% $HOME";
    auto r = run(kHelper + " args " + evil);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "[a;touch]\n[INJ1]\n[b|touch]\n[INJ2]\n[$(touch]\n[INJ3)]\n[`touch]\n[INJ4`]\n[&]\n[touch]\n"
              "[INJ5]\n[>INJ6]\n[<x]\n[%P%]\n[$HOME]\n");
    EXPECT_EQ(run(kHelper + " args \"x\" ; touch INJ7").out, "[x]\n[;]\n[touch]\n[INJ7]\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 0) << "a shell ran some of it";
}

TEST_F(Runner, AndRunsTheNextOnlyAfterSuccess) {
    auto r = run(kHelper + " out one && " + kHelper + " exit 2 && " + kHelper + " out three");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "one\n");
    r = run(kHelper + " out one && " + kHelper + " out two");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "one\ntwo\n");
}

TEST_F(Runner, TrailingRedirectionJoinsStandardErrorInOrder) {
    auto joined = run(kHelper + " interleave 2>&1");
    EXPECT_EQ(joined.out, "out 1\nerr 2\nout 3\n");
    EXPECT_EQ(joined.err, "");
    auto apart = run(kHelper + " interleave");
    EXPECT_EQ(apart.out, "out 1\nout 3\n");
    EXPECT_EQ(apart.err, "err 2\n");
    // Only the command it ends is joined.
    auto chain = run(kHelper + " err first 2>&1 && " + kHelper + " err second");
    EXPECT_EQ(chain.out, "first\n");
    EXPECT_EQ(chain.err, "second\n");
}

TEST_F(Runner, OurLinesAndTheCommandsOutputStayInOrder) {
    // The unflushed text must reach the pipe before the child's line does.
    auto r = capture([&] {
        sys::writeText("Invoking...");
        int status = sys::runCommand(kHelper + " out child");
        sys::writeLine("after");
        return status;
    });
    EXPECT_EQ(r.out, "Invoking...child\nafter\n");
}

TEST_F(Runner, CommandsThatCannotRunFailVisiblyAndRunNothing) {
    write(dir_ / "plain.txt", "not a program\n");
    fs::create_directories(dir_ / "adir");
    // A text that cannot be read at all is refused on standard output, where
    // the IDE shows it; a program that is missing is reported where cmd.exe
    // reports it, on the command's standard error.
    enum Where { out, err };
    struct Case {
        std::string text;
        std::string part;
        Where where;
    };
    const Case cases[] = {
        {"", "Command not run: The command is empty. ()", out},
        {"   ", "empty", out},
        {kHelper + " out ran && ", "Command not run: A command before or after \"&&\" is empty.", out},
        {"no-such-program-zz9 x", "'no-such-program-zz9' is not recognized", err},
        {"./no-such-program-zz9", "is not recognized", err},
        {"./adir", "is a directory", err},
        {"./plain.txt", "cannot be run", err},
        {"start", "nothing to start", err},
        {"start no-such-program-zz9 f", "is not recognized", err},
        {"start /D\"" + (dir_ / "missing").string() + "\" x.bat", "The directory name is invalid.", err},
    };
    for (const Case& c : cases) {
        auto r = run(c.text);
        EXPECT_NE(r.status, 0) << c.text;
        const std::string& said = c.where == out ? r.out : r.err;
        EXPECT_EQ(c.where == out ? r.err : r.out, "") << c.text;
        EXPECT_NE(said.find(c.part), std::string::npos) << c.text << " -> " << said;
        EXPECT_EQ(said.back(), '\n') << c.text;
    }
    // With " 2>&1" the message goes where the command's errors go.
    auto joined = run("no-such-program-zz9 2>&1");
    EXPECT_NE(joined.out.find("is not recognized"), std::string::npos);
    EXPECT_EQ(joined.err, "");
}

TEST_F(Runner, AnEmptyPathEntryIsTheCurrentDirectory) {
    // As in cmd.exe and the POSIX shells; a tool kept in the project is found.
    write(dir_ / "projtool", "#!/bin/sh\nexit 6\n", fs::perms::owner_all);
    for (const std::string path : {":/usr/bin:/bin", "/usr/bin:/bin:", "/usr/bin::/bin"}) {
        ::setenv("PATH", path.c_str(), 1);
        EXPECT_EQ(run("projtool").status, 6) << path;
    }
}

TEST_F(Runner, AQuoteThatIsNotClosedRunsToTheEnd) {
    // As cmd.exe reads it: "&&" and " 2>&1" after the quote are text of the
    // last argument, so nothing after it runs and standard error stays apart.
    auto r = run(kHelper + " args -o \"My  && " + kHelper + " out second 2>&1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "[-o]\n[My  && " + kHelper + " out second 2>&1]\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(Runner, BatchFilesRunThroughTheShell) {
    // Not executable: the shell reads it.
    write(dir_ / "hook dir" / "report_hook.bat", "echo \"hook $1\"\nexit 4\n");
    auto r = run("\"" + (dir_ / "hook dir" / "report_hook.bat").string() + "\" \"my project\"");
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "hook my project\n");

    fs::path bin = binOnPath();
    write(bin / "zebwrap.CMD", "echo wrapped $#\n");
    EXPECT_EQ(run("zebwrap.CMD a b").out, "wrapped 2\n");
}

TEST_F(Runner, TypeCopiesTheFileAndFailsWhenItIsMissing) {
    write(dir_ / "zebuntested.txt", "line 1\r\nno newline at end");
    auto r = run("type zebuntested.txt && pause");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "line 1\r\nno newline at end");  // "pause" prints nothing without a terminal

    r = run("TYPE missing.txt && " + kHelper + " out not-run");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "The system cannot find the file specified.\n");
    EXPECT_EQ(run("type missing.txt 2>&1").out, "The system cannot find the file specified.\n");
}

TEST_F(Runner, PauseOnATerminalWaitsForAKeyAndLeavesTheTerminalAsItWas) {
    // Any key goes on; Ctrl-C ends the command text there, as cmd's pause
    // does, with the status of a program that Ctrl-C ended.
    struct Case {
        char key;
        int status;
        std::string out;
    };
    const Case cases[] = {
        {'k', 0, "Press any key to continue . . . \nafter\n"},
        {'\x03', 128 + SIGINT, "Press any key to continue . . . ^C\n"},
    };
    for (const Case& c : cases) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(terminal, 0);
        termios before;
        ASSERT_EQ(::tcgetattr(terminal, &before), 0);

        // The user presses the key until "pause" has returned; the first press
        // comes only after the flag is set, so a "pause" that did not wait for
        // one would find the flag still clear. A terminal that swallows the
        // key (Ctrl-C taken as a signal) gets plain keys after a while, so
        // that the test fails rather than hangs.
        std::atomic<bool> pressed{false}, done{false};
        std::thread user([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            pressed = true;
            for (int presses = 0; !done; ++presses) {
                const char key = presses < 50 ? c.key : 'z';
                (void)!::write(master, &key, 1);
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        });
        bool waited = false;
        auto r = capture([&] {
            ::dup2(terminal, 0);
            const int status = sys::runCommand("pause && " + kHelper + " out after");
            waited = pressed;
            done = true;
            return status;
        });
        user.join();
        EXPECT_EQ(r.status, c.status) << int(c.key);
        EXPECT_TRUE(waited) << int(c.key);
        EXPECT_EQ(r.out, c.out);
        termios after;
        ASSERT_EQ(::tcgetattr(terminal, &after), 0);
        EXPECT_EQ(after.c_lflag, before.c_lflag) << int(c.key);
        EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), static_cast<tcflag_t>(ICANON | ECHO | ISIG));
        ::close(terminal);
        ::close(master);
    }
}

TEST_F(Runner, StartUpStateIsPlainForUsAndForTheCommands) {
    // As a parent may leave it: SIGCHLD ignored, SIGINT ignored, SIGTERM blocked.
    struct sigaction savedChld {}, savedPipe {}, savedInt {}, ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGCHLD, &ignore, &savedChld);
    ::sigaction(SIGINT, &ignore, &savedInt);
    ::sigaction(SIGPIPE, nullptr, &savedPipe);
    sigset_t term, savedMask;
    sigemptyset(&term);
    sigaddset(&term, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &term, &savedMask);

    sys::prepareProcess();
    struct sigaction pipe {};
    ::sigaction(SIGPIPE, nullptr, &pipe);
    EXPECT_EQ(pipe.sa_handler, SIG_IGN);
    // The statuses of the commands can be read again.
    EXPECT_EQ(run(kHelper + " exit 3").status, 3);
    // The commands start with SIGPIPE at its default and nothing blocked; an
    // ignored SIGINT is the parent's choice for the whole job.
    EXPECT_EQ(run(kHelper + " signals").out, "SIGPIPE default\nSIGCHLD default\nSIGINT ignored\nblocked 0\n");

    ::sigaction(SIGCHLD, &savedChld, nullptr);
    ::sigaction(SIGPIPE, &savedPipe, nullptr);
    ::sigaction(SIGINT, &savedInt, nullptr);
    ::sigprocmask(SIG_SETMASK, &savedMask, nullptr);
}

TEST_F(Runner, StartUpOpensTheStandardDescriptorsThatAreClosed) {
    // In a child of ours, since the descriptors are the whole process's:
    // each closed set in turn, then all three; the exit status tells which
    // descriptor was still missing, or where /dev/null did not land.
    for (const std::vector<int>& closed : {std::vector<int>{0}, {1}, {2}, {0, 1, 2}}) {
        std::fflush(nullptr);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int fd : closed) ::close(fd);
            sys::prepareProcess();
            struct stat null, st;
            ::stat("/dev/null", &null);
            for (int fd = 0; fd <= 2; ++fd) {
                if (::fstat(fd, &st) != 0) ::_exit(10 + fd);
                const bool wasClosed = std::find(closed.begin(), closed.end(), fd) != closed.end();
                if (wasClosed && st.st_rdev != null.st_rdev) ::_exit(20 + fd);
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "closed: " << closed.size() << " from " << closed.front();
    }
}

TEST_F(Runner, OutputThatNobodyReadsIsDroppedAndTheCommandsGoOn) {
    // The IDE closed its output window: the commands run as with a reader,
    // where SIGPIPE would end them at their first line.
    write(dir_ / "zebuntested.txt", std::string(100000, 'x'));
    struct sigaction savedPipe {}, ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &savedPipe);
    std::fflush(nullptr);
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    ::close(ends[0]);
    const int savedOut = ::fcntl(1, F_DUPFD_CLOEXEC, 3);
    ::dup2(ends[1], 1);
    ::close(ends[1]);
    const int listed = sys::runCommand(kHelper + " out lost 2>&1 && type zebuntested.txt && " + kHelper +
                                       " wait-then-touch zebuntested.txt done");
    ::dup2(savedOut, 1);
    ::close(savedOut);
    ::sigaction(SIGPIPE, &savedPipe, nullptr);
    EXPECT_EQ(listed, 0);
    EXPECT_TRUE(fs::exists(dir_ / "done"));
}

TEST(Interpreter, IsAlwaysNamedByItsFullPath) {
    // Anything but a full path would be looked up in the current directory,
    // the user's project, first.
    const std::string system = "C:\\WINDOWS\\system32";
    const std::string fallback = "C:\\WINDOWS\\system32\\cmd.exe";
    struct Case {
        std::string comspec, systemDirectory, expected;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\system32\\cmd.exe", system, "C:\\WINDOWS\\system32\\cmd.exe"},
        {"d:/tools/4nt.exe", system, "d:/tools/4nt.exe"},
        {"\\\\server\\share\\cmd.exe", system, "\\\\server\\share\\cmd.exe"},
        {"", system, fallback},
        {"cmd.exe", system, fallback},
        {"C:cmd.exe", system, fallback},
        {"\\cmd.exe", system, fallback},
        {".\\cmd.exe", system, fallback},
        {"\"C:\\WINDOWS\\system32\\cmd.exe\"", system, fallback},
        {"", "C:\\", "C:\\cmd.exe"},
        {"", "", ""},
        {"cmd.exe", "system32", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sys::interpreterPath(c.comspec, c.systemDirectory), c.expected) << c.comspec << " | " << c.systemDirectory;
}

TEST_F(Runner, DelRemovesAFileAndReportsAMissingOne) {
    write(dir_ / "zeb mode" / "zebmodeon.txt", "on\n");
    auto r = run("del \"" + (dir_ / "zeb mode" / "zebmodeon.txt").string() + "\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(dir_ / "zeb mode" / "zebmodeon.txt"));

    r = run("del \"gone.txt\"");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "Could Not Find " + (dir_ / "gone.txt").string() + "\n");
}

TEST_F(Runner, RmdirRemovesATreeButNotWhatItLinksTo) {
    write(dir_ / "outside" / "keep.txt", "keep");
    write(dir_ / "ZEBHTML" / "index.html", "<html>");
    write(dir_ / "ZEBHTML" / "sub" / "deeper" / "f.html", "x");
    fs::create_directory_symlink(dir_ / "outside", dir_ / "ZEBHTML" / "link");
    auto r = run("rmdir /s /q ZEBHTML");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(dir_ / "ZEBHTML"));
    EXPECT_EQ(slurp(dir_ / "outside" / "keep.txt"), "keep");

    r = run("rmdir /s /q ZEBHTML");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "The system cannot find the file specified.\n");

    // Without /s only an empty directory goes.
    fs::create_directories(dir_ / "full" / "x");
    EXPECT_NE(run("rmdir full").status, 0);
    EXPECT_TRUE(fs::exists(dir_ / "full" / "x"));
}

TEST_F(Runner, StartReturnsWhileTheProgramRuns) {
    // The child waits for a file that we create only after start returned:
    // a start that waited for its program would never see it created.
    auto r = run("start \"\" \"" + kHelper + "\" wait-then-touch go done");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "");
    std::ofstream(dir_ / "go") << "";
    EXPECT_TRUE(appears(dir_ / "done"));
}

TEST_F(Runner, StartOpensAFileAloneWithTheDesktopOpener) {
    fs::path bin = binOnPath();
    write(bin / "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.log.tmp\" && mv \"$0.log.tmp\" \"$0.log\"\n",
          fs::perms::owner_all);
    EXPECT_EQ(run("start  zebtiming.txt").status, 0);
    ASSERT_TRUE(appears(bin / "xdg-open.log"));
    EXPECT_EQ(slurp(bin / "xdg-open.log"), "zebtiming.txt\n");
}

TEST_F(Runner, StartInADirectoryRunsTheBatchFileThere) {
    fs::path integ = dir_ / "zeb home" / "Vs_integ";
    write(integ / "vsZEBhelp.bat", "pwd > cwd.tmp && mv cwd.tmp cwd.txt\n");
    EXPECT_EQ(run("start /D\"" + integ.string() + "\" vsZEBhelp.bat").status, 0);
    ASSERT_TRUE(appears(integ / "cwd.txt"));
    EXPECT_EQ(slurp(integ / "cwd.txt"), integ.string() + "\n");
}

}  // namespace
