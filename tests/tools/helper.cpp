// A small child for the command runner's tests. The first argument picks
// what it does; see usage() below.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>

namespace {

int usage() {
    std::fputs("usage: vszeb_test_helper args ARG... | exit N | out TEXT | err TEXT | interleave\n"
               "       | wait-then-touch AWAITED CREATED | cwd | signals\n",
               stderr);
    return 64;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    if (mode == "args") {
        // Brackets show blanks and empty arguments.
        for (int i = 2; i < argc; ++i) std::printf("[%s]\n", argv[i]);
        return 0;
    }
    if (mode == "exit" && argc == 3) return std::atoi(argv[2]);
    if (mode == "out" && argc == 3) {
        std::printf("%s\n", argv[2]);
        return 0;
    }
    if (mode == "err" && argc == 3) {
        std::fprintf(stderr, "%s\n", argv[2]);
        return 0;
    }
    if (mode == "interleave") {
        // Unbuffered order: only a correct join of the two streams keeps it.
        std::fputs("out 1\n", stdout);
        std::fflush(stdout);
        std::fputs("err 2\n", stderr);
        std::fflush(stderr);
        std::fputs("out 3\n", stdout);
        std::fflush(stdout);
        return 0;
    }
    if (mode == "wait-then-touch" && argc == 4) {
        // Waits (at most about a minute) for AWAITED, which only a parent that
        // did not wait for us can create, then creates CREATED.
        for (int i = 0; i < 600; ++i) {
            if (std::filesystem::exists(argv[2])) {
                std::ofstream(argv[3]) << "done\n";
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return 1;
    }
    if (mode == "signals") {
        // The dispositions a program inherits (ignored or not) and what it
        // starts with blocked.
        for (auto [sig, name] : {std::pair{SIGPIPE, "SIGPIPE"}, {SIGCHLD, "SIGCHLD"}, {SIGINT, "SIGINT"}}) {
            struct sigaction action {};
            sigaction(sig, nullptr, &action);
            std::printf("%s %s\n", name, action.sa_handler == SIG_IGN ? "ignored" : "default");
        }
        sigset_t blocked;
        sigprocmask(SIG_BLOCK, nullptr, &blocked);
        int count = 0;
        for (int sig = 1; sig < NSIG; ++sig) count += sigismember(&blocked, sig) == 1;
        std::printf("blocked %d\n", count);
        return 0;
    }
    if (mode == "cwd") {
        std::printf("%s\n", std::filesystem::current_path().string().c_str());
        return 0;
    }
    return usage();
}
