#!/usr/bin/env python3
"""Faults of the world around vsZEB, tried with the real program and the
stand-in tools of tests/tools on PATH:

  killed-mid-write  the write of the report settings file and of the options
                    file is killed (SIGKILL) at random points inside it, again
                    and again: the previous file or the new one is left whole,
                    never a mix or an empty file, with at most one stray
                    temporary file, and the next write succeeds beside it.
  two-at-once       two programs press OK in the Report dialog of the same
                    project, and two in the Set dialog of the same wrapper
                    directory, round after round: each round leaves one
                    complete version of the file and no temporary file.
  big-output        a zebpost that writes 100 MB: the program's lines and the
                    tool's arrive in order and whole, and the program's peak
                    memory stays far below what it passed on.
  foreign-module    a vszeb-fltk.so of another build, of a build from before
                    interface stamps, or without the entry point, beside the
                    program: one error line that says why, nothing of it run.

The writes are made slow with VSZEB_TEST_SLOW_WRITE (microseconds per step
and per byte of a file write; the Windows program rounds them up to whole
milliseconds), which only tests set: a real write is over in microseconds,
far too short to be hit by a kill from outside, or to overlap with another
program's.

With --wine PREFIX the program is the Windows one, run by Wine in that
prefix, for killed-mid-write and two-at-once: a kill is a SIGKILL of its
Wine process, which ends it at once as TerminateProcess would, and Wine's
file functions are the ones that write. --kills and --rounds set how many
kills must land inside each write and how many rounds two writers run.

Usage: faults.py --program vsZEB --tools DIR [--modules DIR] CHECK...
       faults.py --program vsZEB.exe --tools DIR --wine PREFIX [--kills N] [--rounds N] CHECK...
"""

import argparse
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "wine"))
from scenario import install_fake_tools  # noqa: E402

SLOW_STEP_US = 200
KILLS_INSIDE = 200     # kills that must land inside each write
ATTEMPTS_PER_KILL = 7.5  # a machine too busy to land them gives up, loudly
ROUNDS = 500

# The Wine prefix when the program is the Windows one (--wine), else None.
WINE = None


class Failure(Exception):
    pass


class Root:
    """A scenario root as tests/scenarios/README.md describes it: project/,
    wrap/ (the wrapper directory), zebhome/, bin/ with the stand-in tools."""

    def __init__(self, program, tools):
        self.path = tempfile.mkdtemp(prefix="vszeb-faults-")
        self.program = program
        self.project = os.path.join(self.path, "project")
        self.wrap = os.path.join(self.path, "wrap")
        for d in (self.project, self.wrap, os.path.join(self.path, "zebhome")):
            os.makedirs(d)
        with open(os.path.join(self.path, "zebhome", "wrapcmds.txt"), "w") as f:
            f.write("wrapcmds\n")
        self.bin = os.path.join(self.path, "bin")
        os.makedirs(self.bin)
        self.tools = tools

    def tool(self, name, text):
        """A tool of the test's own in place of the stand-in."""
        path = os.path.join(self.bin, name)
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, 0o755)

    def script(self, name, lines):
        path = os.path.join(self.path, name)
        with open(path, "w") as f:
            f.write("\n".join(lines) + "\n")
        return path

    def env(self, script, slow=0, tools=False):
        """`tools` false leaves the stand-in tools off PATH, so that the
        report run after the write ends at once, with zebpost not found."""
        install_fake_tools(self.path, self.tools)
        if WINE:
            return self.wine_env(script, slow)
        env = {
            "PATH": f"{self.bin}:/usr/bin:/bin" if tools else "/usr/bin:/bin",
            "HOME": self.path,
            "LANG": "C",
            "VSZEB_UI": "headless",
            "VSZEB_TEST_ROOT": self.path,
            "ZEBHOME": os.path.join(self.path, "zebhome"),
            "ZEBWRAPDIR": self.wrap,
            "VSZEB_SCRIPT": script,
        }
        if slow:
            env["VSZEB_TEST_SLOW_WRITE"] = str(slow)
        return env

    def wine_env(self, script, slow):
        """The same for the Windows program: its paths in Windows' form, and
        no stand-in tools (Wine's search path is the system's own)."""
        from run import Wine, win_path
        env = dict(Wine(WINE, None).env)
        env.update({
            "LANG": "C",
            "VSZEB_UI": "headless",
            "VSZEB_TEST_ROOT": win_path(self.path),
            "ZEBHOME": win_path(os.path.join(self.path, "zebhome")),
            "ZEBWRAPDIR": win_path(self.wrap),
            "VSZEB_SCRIPT": win_path(script),
        })
        if slow:
            env["VSZEB_TEST_SLOW_WRITE"] = str(slow)
        return env

    def argv(self, args):
        # The "wine" command becomes the Windows process itself (it execs
        # the loader), so the process started here is the one to kill.
        return (["wine", self.program] if WINE else [self.program]) + args

    def start(self, args, env, **kw):
        return subprocess.Popen(self.argv(args), cwd=self.project, env=env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kw)

    def run(self, args, env):
        proc = subprocess.run(self.argv(args), cwd=self.project, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
        if proc.returncode != 0:
            raise Failure(f"vsZEB {' '.join(args)} ended with {proc.returncode}: {proc.stderr.decode('latin-1')}")

    def remove(self):
        shutil.rmtree(self.path, ignore_errors=True)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def strays(directory, name):
    """Files beside `name` that are not `name` itself: the temporary files."""
    return sorted(n for n in os.listdir(directory) if n != name)


# The two files that the program writes, each with the dialog that writes it
# on OK and the text that makes the new content differ from the old.
CASES = [
    # (what, command line, directory attribute, file name, script lines for a given option text)
    ("report settings file", ["report", "vs", "Demo"], "project", "Demo.zeb",
     lambda text: ['dialog "ZEB++ Report"', f'type 1135 "{text}"', "click 1105"]),
    ("options file", ["set", "vs", "Demo"], "wrap", "zebopts.rsp",
     lambda text: ['dialog "ZEB++ Set/Clean"', f'type 1137 "{text}"', "click 1178"]),
]


def written_by(root, args, directory, name, script):
    """The content that a plain OK writes, read back from the disk."""
    path = os.path.join(directory, name)
    if os.path.exists(path):
        os.remove(path)
    root.run(args, root.env(script))
    return read(path)


def temp_appears(proc, directory, name):
    """Waits until a temporary file shows beside `name`; False when the
    program ends first."""
    while not strays(directory, name):
        if proc.poll() is not None:
            return False
        time.sleep(0.0002)
    return True


def each_case(program, tools):
    """Each case of CASES in a root of its own, removed afterwards."""
    for what, args, attr, name, lines in CASES:
        root = Root(program, tools)
        try:
            yield what, args, root, getattr(root, attr), name, lines
        finally:
            root.remove()


def killed_mid_write(program, tools, kills_inside=KILLS_INSIDE):
    max_attempts = int(kills_inside * ATTEMPTS_PER_KILL)
    for what, args, root, directory, name, lines in each_case(program, tools):
        path = os.path.join(directory, name)
        old = written_by(root, args, directory, name, root.script("old.script", lines("-old")))
        new_script = root.script("new.script", lines("-new -and -a -longer -text"))
        new = written_by(root, args, directory, name, new_script)
        if old == new or not old or not new:
            raise Failure(f"{what}: no two distinct contents to tell apart")

        # How long a slow run takes from start to end, and how long its
        # temporary file is there (the write): the shortest of three runs.
        span = write_time = float("inf")
        for _ in range(3):
            with open(path, "wb") as f:
                f.write(old)
            started = time.monotonic()
            proc = root.start(args, root.env(new_script, slow=SLOW_STEP_US))
            if not temp_appears(proc, directory, name):
                raise Failure(f"{what}: a slow write showed no temporary file")
            write_began = time.monotonic()
            while strays(directory, name):
                time.sleep(0.0002)
            write_time = min(write_time, time.monotonic() - write_began)
            proc.wait(timeout=60)
            proc.stderr.close()
            span = min(span, time.monotonic() - started)

        landed = {"before the write": 0, "after the write": 0}
        bytes_hit = set()
        inside = attempts = 0
        while inside < kills_inside:
            attempts += 1
            if attempts > max_attempts:
                raise Failure(f"{what}: only {inside} of {attempts} kills landed inside the write")
            with open(path, "wb") as f:
                f.write(old)
            proc = root.start(args, root.env(new_script, slow=SLOW_STEP_US))
            # Most kills are aimed: from the moment the temporary file shows,
            # at a random point of the write's time. Every fifth is drawn
            # from the whole run, start-up and report run included.
            if attempts % 5 == 0:
                time.sleep(random.uniform(0, span))
            elif temp_appears(proc, directory, name):
                time.sleep(random.uniform(0, write_time * 1.1))
            proc.send_signal(signal.SIGKILL)
            proc.wait(timeout=60)
            proc.stderr.close()
            if proc.returncode != -signal.SIGKILL:
                landed["after the write"] += 1  # it had ended by itself
                continue

            now = read(path)
            if now not in (old, new):
                raise Failure(f"{what}: a kill left neither the old nor the new file: {now!r}")
            left = strays(directory, name)
            if len(left) > 1:
                raise Failure(f"{what}: a kill left {len(left)} temporary files: {left}")
            if left:
                partial = read(os.path.join(directory, left[0]))
                if not new.startswith(partial):
                    raise Failure(f"{what}: the temporary file holds {partial!r}, not a part of {new!r}")
                inside += 1
                bytes_hit.add(len(partial))
            else:
                landed["before the write" if now == old else "after the write"] += 1

            # The next write is not put off by what the killed one left.
            root.run(args, root.env(new_script))
            if read(path) != new:
                raise Failure(f"{what}: the write after a kill did not replace the file")
            if strays(directory, name) != left:
                raise Failure(f"{what}: the write after a kill left {strays(directory, name)}, before {left}")
            for stray in left:
                os.remove(os.path.join(directory, stray))

        spread = ", ".join(f"{n} {where}" for where, n in landed.items())
        print(f"ok   killed-mid-write: {what}: {attempts} kills, {inside} inside the write "
              f"(at {len(bytes_hit)} of the {len(new) + 1} byte counts 0..{len(new)}), {spread}")


def two_at_once(program, tools, rounds=ROUNDS):
    for what, args, root, directory, name, lines in each_case(program, tools):
        path = os.path.join(directory, name)
        scripts = [root.script(f"{who}.script", lines(f"-written -by -{who}")) for who in ("a", "b")]
        versions = [written_by(root, args, directory, name, s) for s in scripts]
        # A short pause per byte makes the two writes overlap most rounds.
        envs = [root.env(s, slow=50) for s in scripts]
        overlapping = 0
        started = time.monotonic()
        for _ in range(rounds):
            procs = [root.start(args, env) for env in envs]
            seen_two = False
            while any(p.poll() is None for p in procs):
                seen_two = seen_two or len(strays(directory, name)) >= 2
                time.sleep(0.0005)
            for p in procs:
                err = p.stderr.read()
                p.stderr.close()
                if p.returncode != 0:
                    raise Failure(f"{what}: vsZEB ended with {p.returncode}: {err.decode('latin-1')}")
            overlapping += seen_two
            if read(path) not in versions:
                raise Failure(f"{what}: two writers left {read(path)!r}")
            if strays(directory, name):
                raise Failure(f"{what}: two writers left {strays(directory, name)}")
        print(f"ok   two-at-once: {what}: {rounds} rounds in {time.monotonic() - started:.1f} s, "
              f"both temporary files seen at once in {overlapping}")


BIG_LINE = b"0123456789abcdef0123456789abcde\n"
BIG_LINES = 100 * 1024 * 1024 // len(BIG_LINE)
MEMORY_BOUND_KB = 64 * 1024


def big_output(program, tools):
    root = Root(program, tools)
    try:
        root.tool("zebpost", "#!/bin/sh\necho zebpost begins\n"
                  f"yes {BIG_LINE.decode().strip()} | head -n {BIG_LINES}\necho zebpost ends >&2\n")
        script = root.script("ui.script", ['dialog "ZEB++ Report"', "click 1105"])
        env = root.env(script, tools=True)
        expected = hashlib.sha256()
        head = (f"Working at {root.project}\nInvoking...\nzebpost -p zebprofile.txt\n"
                "zebpost begins\n").encode()
        tail = b"zebpost ends\nzeb2html -i zebprofile.txt -t 75 \n"
        expected.update(head)
        for _ in range(BIG_LINES // 1024):
            expected.update(BIG_LINE * 1024)
        expected.update(tail)
        expected_size = len(head) + BIG_LINES * len(BIG_LINE) + len(tail)

        proc = subprocess.Popen([program, "report", "vs", "Demo"], cwd=root.project, env=env,
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        got = hashlib.sha256()
        size = 0
        first = last = b""
        while chunk := proc.stdout.read(1 << 20):
            got.update(chunk)
            size += len(chunk)
            first = first or chunk[:200]
            last = (last + chunk)[-200:]
        proc.stdout.close()
        _pid, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            raise Failure(f"big-output: vsZEB ended with {proc.returncode}")
        if size != expected_size or got.digest() != expected.digest():
            raise Failure(f"big-output: {size} bytes, expected {expected_size}, or not in order:\n"
                          f"began {first!r}\nended {last!r}")
        # ru_maxrss of a waited-for child covers it and the tools it waited for.
        if usage.ru_maxrss > MEMORY_BOUND_KB:
            raise Failure(f"big-output: peak memory {usage.ru_maxrss} kB, bound {MEMORY_BOUND_KB} kB")
        print(f"ok   big-output: {size} bytes in order, peak memory {usage.ru_maxrss} kB")
    finally:
        root.remove()


# What the program says of each module that is not its own (folder under
# --modules), after "The user interface "fltk" cannot be loaded: " and its path.
FOREIGN_MODULES = {
    "unstamped": " was built for another version of vsZEB; install the module of this one beside it.",
    "other-build": " was built for another version of vsZEB; install the module of this one beside it.",
    "no-entry": " has no function vszebFltkBackend, so it is not a vsZEB user interface module.",
}


def foreign_module(program, tools, modules):
    """A copy of the program with a module beside it that is not its own: one
    error line that says why, status 0, and nothing of the module run (its
    entry point would abort). The program's own module beside the copy passes
    the check and reaches the display (which the run does not set)."""
    for kind, why in list(FOREIGN_MODULES.items()) + [("own", None)]:
        place = tempfile.mkdtemp(prefix="vszeb-module-")
        try:
            copy = os.path.join(place, "vsZEB")
            shutil.copy(program, copy)
            source = os.path.join(os.path.dirname(program), "vszeb-fltk.so") if kind == "own" else \
                os.path.join(modules, kind, "vszeb-fltk.so")
            module = os.path.join(place, "vszeb-fltk.so")
            shutil.copy(source, module)
            env = {"PATH": "/usr/bin:/bin", "HOME": place, "VSZEB_UI": "fltk", "ZEBHOME": place}
            proc = subprocess.run([copy, "report", "vs", "Demo"], cwd=place, env=env, stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=60)
            out = proc.stdout.decode("latin-1")
            if kind == "own":
                expected = '*** Error: Cannot show windows with the user interface "fltk": DISPLAY is not set.\n'
            else:
                expected = f'*** Error: The user interface "fltk" cannot be loaded: {module}{why}\n'
            if proc.returncode != 0 or out != expected:
                raise Failure(f"module {kind}: status {proc.returncode}, output {out!r}, expected {expected!r}; "
                              f"stderr {proc.stderr.decode('latin-1')!r}")
        finally:
            shutil.rmtree(place, ignore_errors=True)


CHECKS = {"killed-mid-write": killed_mid_write, "two-at-once": two_at_once, "big-output": big_output,
          "foreign-module": foreign_module}


def main():
    global WINE
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--wine", metavar="PREFIX", help="run the Windows program with Wine in this prefix")
    parser.add_argument("--kills", type=int, default=KILLS_INSIDE, help="kills that must land inside each write")
    parser.add_argument("--rounds", type=int, default=ROUNDS, help="rounds of two writers at once")
    parser.add_argument("--modules", help="folder of the foreign modules (foreign-module)")
    parser.add_argument("checks", nargs="+", choices=sorted(CHECKS))
    args = parser.parse_args()
    if args.wine and "big-output" in args.checks:
        parser.error("big-output measures the Linux program's memory only")
    counts = {"killed-mid-write": {"kills_inside": args.kills}, "two-at-once": {"rounds": args.rounds}}
    wine = None
    if args.wine:
        from run import Wine
        WINE = os.path.abspath(args.wine)
        wine = Wine(WINE, None)
        wine.start()  # one Wine server for every run, as on a desktop
    failed = 0
    try:
        for check in args.checks:
            try:
                extra = [os.path.abspath(args.modules)] if check == "foreign-module" else []
                CHECKS[check](os.path.abspath(args.program), os.path.abspath(args.tools), *extra,
                              **counts.get(check, {}))
            except (Failure, subprocess.TimeoutExpired) as failure:
                failed += 1
                print(f"FAIL {check}: {failure}")
            sys.stdout.flush()
    finally:
        if wine:
            wine.stop()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
