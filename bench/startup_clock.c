/* Start-up clock of bench/startup.sh: starts a program and prints, in
 * milliseconds, how long it took until
 *
 *   startup-clock map CLASS PROGRAM ARGS...   a top-level window whose
 *                                             WM_CLASS name or class is CLASS
 *                                             was mapped (the program is then
 *                                             ended with SIGTERM)
 *   startup-clock exit PROGRAM ARGS...        the program ended
 *
 * The clock starts just before fork, after the display is open and the root
 * window watched, so that it measures the program alone. The windows of a
 * display without a window manager are the root window's children, whose
 * mapping the root window reports (SubstructureNotify). Status 0 on success;
 * 1 when the program failed, ended before mapping, or 10 s passed.
 */
#define _POSIX_C_SOURCE 200809L
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kTimeoutMs = 10000 };

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec * 1e3 + (double)t.tv_nsec / 1e6;
}

static pid_t start(char** argv) {
    pid_t pid = fork();
    if (pid == 0) {
        /* What the program prints is not ours to print. */
        int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDOUT_FILENO);
        execvp(argv[0], argv);
        fprintf(stderr, "startup-clock: cannot run %s: %s\n", argv[0], strerror(errno));
        _exit(127);
    }
    if (pid < 0) fprintf(stderr, "startup-clock: cannot fork: %s\n", strerror(errno));
    return pid;
}

static int hasClass(Display* d, Window w, const char* wanted) {
    XClassHint hint = {0, 0};
    int found = 0;
    if (XGetClassHint(d, w, &hint)) {
        found = (hint.res_name && strcasecmp(hint.res_name, wanted) == 0) ||
                (hint.res_class && strcasecmp(hint.res_class, wanted) == 0);
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    return found;
}

/* A window that vanished between its MapNotify and our question is no error. */
static int ignoreErrors(Display* d, XErrorEvent* e) {
    (void)d;
    (void)e;
    return 0;
}

static int timeMap(const char* wanted, char** argv) {
    Display* d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "startup-clock: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    const double t0 = nowMs();
    const pid_t pid = start(argv);
    if (pid < 0) return 1;
    int status = 1, ended = 0;
    while (nowMs() - t0 < kTimeoutMs) {
        if (!XPending(d)) {
            struct pollfd p = {ConnectionNumber(d), POLLIN, 0};
            poll(&p, 1, 5);
            if (!ended && waitpid(pid, NULL, WNOHANG) == pid) ended = 1;
            if (ended && !XPending(d)) break;
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify && hasClass(d, e.xmap.window, wanted)) {
            printf("%.2f\n", nowMs() - t0);
            status = 0;
            break;
        }
    }
    if (status != 0)
        fprintf(stderr, "startup-clock: %s mapped no window of class %s\n", argv[0], wanted);
    if (!ended) {
        kill(pid, SIGTERM);
        waitpid(pid, NULL, 0);
    }
    XCloseDisplay(d);
    return status;
}

static int timeExit(char** argv) {
    const double t0 = nowMs();
    const pid_t pid = start(argv);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return 1;
    const double t1 = nowMs();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        fprintf(stderr, "startup-clock: %s failed (status %d)\n", argv[0], status);
        return 1;
    }
    printf("%.2f\n", t1 - t0);
    return 0;
}

int main(int argc, char** argv) {
    if (argc >= 4 && strcmp(argv[1], "map") == 0) return timeMap(argv[2], argv + 3);
    if (argc >= 3 && strcmp(argv[1], "exit") == 0) return timeExit(argv + 2);
    fprintf(stderr, "usage: startup-clock map CLASS PROGRAM [ARG...] | exit PROGRAM [ARG...]\n");
    return 2;
}
