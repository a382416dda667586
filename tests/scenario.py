#!/usr/bin/env python3
"""Runs vsZEB scenarios: a user's session with files before, a command line,
a UI script, and the exact standard output and files afterwards.

A scenario is a folder (see tests/scenarios/README.md):

    scenario    key: value lines (args, env, status, cwd, unremovable, cwd-gone, launch)
    ui.script   the UI script, given to the program as VSZEB_SCRIPT ($T expanded)
    before/     copied into the scenario's root T before the run; a file
                NAME.tmpl there becomes NAME with $T expanded
    stdout      expected standard output, exactly; $T stands for T
    stderr      expected standard error, exactly (not checked when absent)
    after/      files that must exist afterwards with exactly these bytes
    absent      paths relative to T, one a line, that must not exist afterwards

A `scenario` line `unremovable: PATH` (below T) makes that file read-only and
immutable for the run, so that not even root can remove it; where the flag
cannot be set the scenario is skipped.

`launch:` lines start the program in a state that a terminal never gives it
(see LAUNCH_STATES): an ignored SIGCHLD, a closed standard descriptor, an
output pipe whose reader has gone, or a terminal on standard input that
types keys once the program waits for one, and whose settings must be as
before when the program has ended.

A line `mount: DIR full` or `mount: DIR read-only` (DIR below T) puts DIR,
with what before/ put there, on a small file system of its own that is then
filled to the last byte, or made read-only. Afterwards DIR must hold exactly
the files it held before the run. Where mounting is not allowed the scenario
is skipped.

Usage: scenario.py --program vsZEB --tools DIR [--ui BACKEND] [--screenshots DIR] [--real-input] FOLDER...
With a back end that shows windows (fltk), DISPLAY and XAUTHORITY are passed
on, and the pictures that a script takes (`screenshot "$T/NAME.png"`) must
exist as PNG files; --screenshots keeps them.
A FOLDER that holds no `scenario` file is searched for scenario folders.

With --real-input only the scenarios that have an `xdotool` file run: the
program gets no script, and the file's steps (tests/realinput.py) are played
at its windows as the keys and clicks of a person; the expectations are the
same files.
"""

import argparse
import fcntl
import os
import pty
import re
import shlex
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time

FAKE_TOOLS = ["zebwrap", "zebpost", "zeb2html", "xdg-open", "viewer"]
# How long a program driven by real input may take to end after the last step.
REAL_INPUT_END = 20


def find_scenarios(folder):
    if os.path.isfile(os.path.join(folder, "scenario")):
        return [folder]
    found = []
    for name in sorted(os.listdir(folder)):
        sub = os.path.join(folder, name)
        if os.path.isdir(sub):
            found.extend(find_scenarios(sub))
    return found


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def expand(text, root):
    return text.replace("$T", root)


def expand_templates(root):
    """Files named NAME.tmpl become NAME with $T expanded (for paths that a
    file must hold, such as a registry file)."""
    for base, _dirs, files in os.walk(root):
        for name in files:
            if name.endswith(".tmpl"):
                path = os.path.join(base, name)
                text = read_bytes(path).decode("latin-1")
                with open(path[: -len(".tmpl")], "wb") as f:
                    f.write(expand(text, root).encode("latin-1"))
                os.remove(path)


# The file attribute ioctls of Linux (_IOR/_IOW('f', 1/2, long)).
_LONG = struct.calcsize("l")
FS_IOC_GETFLAGS = 0x80006601 | (_LONG << 16)
FS_IOC_SETFLAGS = 0x40006602 | (_LONG << 16)
FS_IMMUTABLE_FL = 0x10


def set_immutable(path, on):
    """Sets or clears the immutable flag; False when the file system or our
    rights do not allow it."""
    try:
        fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK)
    except OSError:
        return False
    try:
        buf = bytearray(_LONG)
        fcntl.ioctl(fd, FS_IOC_GETFLAGS, buf, True)
        flags = int.from_bytes(buf[:4], sys.byteorder)
        flags = flags | FS_IMMUTABLE_FL if on else flags & ~FS_IMMUTABLE_FL
        fcntl.ioctl(fd, FS_IOC_SETFLAGS, flags.to_bytes(4, sys.byteorder) + bytes(_LONG - 4))
        return True
    except OSError:
        return False
    finally:
        os.close(fd)


def make_unremovable(path, immutable=True):
    """Read-only, which is what stops Windows (and Wine) from deleting a file,
    and with `immutable` also the flag that stops root on Linux. False when
    that could not be done."""
    os.chmod(path, 0o444)
    return not immutable or set_immutable(path, True)


def release_unremovable(path):
    set_immutable(path, False)
    if os.path.lexists(path):
        os.chmod(path, 0o644)


MOUNT_KINDS = ("full", "read-only")
FILLER = ".filler"


def mount_small(path, kind):
    """Mounts a small tmpfs over `path` with the files that were there, then
    fills it or makes it read-only. False when mounting is not allowed."""
    saved = tempfile.mkdtemp(prefix="vszeb-mount-")
    os.makedirs(path, exist_ok=True)
    shutil.copytree(path, saved, dirs_exist_ok=True, symlinks=True)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=128k,mode=0755", "vszeb-test", path],
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=30).returncode == 0
    if mounted:
        shutil.copytree(saved, path, dirs_exist_ok=True, symlinks=True)
        if kind == "full":
            # Big pieces, then single bytes, until not one more byte fits.
            with open(os.path.join(path, FILLER), "wb", buffering=0) as f:
                for size in (65536, 4096, 1):
                    try:
                        while True:
                            f.write(b"\0" * size)
                    except OSError:
                        pass
        else:
            subprocess.run(["mount", "-o", "remount,ro", path], check=True, timeout=30)
    shutil.rmtree(saved, ignore_errors=True)
    return mounted


def unmount_small(path):
    subprocess.run(["umount", "-l", path], stdin=subprocess.DEVNULL, capture_output=True, timeout=30)


def tree_of(path):
    return sorted(os.path.relpath(os.path.join(base, n), path) for base, dirs, files in os.walk(path)
                  for n in dirs + files)


def parse_scenario(path):
    setup = {"args": [], "env": [], "status": 0, "cwd": "project", "unremovable": [], "cwd-gone": False,
             "mount": [], "launch": [], "only": None}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            key, sep, value = line.partition(":")
            if not sep:
                raise ValueError(f"{path}:{number}: expected 'key: value'")
            key, value = key.strip(), value.strip()
            if key == "args":
                setup["args"] = shlex.split(value)
            elif key == "env":
                setup["env"].append(value)
            elif key == "status":
                setup["status"] = int(value)
            elif key == "cwd":
                setup["cwd"] = value
            elif key == "unremovable":
                setup["unremovable"].append(value)
            elif key == "cwd-gone":
                setup["cwd-gone"] = value == "yes"
            elif key == "mount":
                where, _, kind = value.rpartition(" ")
                if kind not in MOUNT_KINDS or not where.strip():
                    raise ValueError(f"{path}:{number}: expected 'mount: DIR full' or 'mount: DIR read-only'")
                setup["mount"].append((where.strip(), kind))
            elif key == "only":
                if value != "real-input":
                    raise ValueError(f"{path}:{number}: expected 'only: real-input'")
                setup["only"] = value
            elif key == "launch":
                words = value.split(None, 1)
                if not words or words[0] not in LAUNCH_STATES:
                    raise ValueError(f"{path}:{number}: unknown launch state {value!r}")
                setup["launch"].append((words[0], words[1] if len(words) > 1 else ""))
            else:
                raise ValueError(f"{path}:{number}: unknown key {key!r}")
    return setup


# The states that `launch:` lines ask for; each is one word and its operand.
LAUNCH_STATES = {
    "ignore": "ignore SIGNAL: the program inherits the signal as ignored",
    "close": "close FD: the program starts with that descriptor closed (0, 1 or 2)",
    "no-reader": "no-reader: standard output is a pipe whose reader has gone, so nothing is read",
    "terminal": "terminal KEYS: standard input is the program's controlling terminal; once the program has "
                "put it into key-at-a-time mode, KEYS are typed (^C is Ctrl-C)",
}


class Launch:
    """What the `launch:` lines of a scenario set up around the program:
    the child's preparation, its standard output, and the terminal."""

    def __init__(self, states):
        self.ignored = [getattr(signal, arg) for verb, arg in states if verb == "ignore"]
        self.closed = [int(arg) for verb, arg in states if verb == "close"]
        self.no_reader = any(verb == "no-reader" for verb, _ in states)
        keys = [arg for verb, arg in states if verb == "terminal"]
        self.keys = keys[0].replace("^C", "\x03").encode("latin-1") if keys else None
        self.master = self.terminal = None
        if self.keys is not None:
            self.master, self.terminal = pty.openpty()
            self.flags_before = termios.tcgetattr(self.terminal)[3]

    def stdout(self, default):
        if not self.no_reader:
            return default
        read_end, write_end = os.pipe()
        os.close(read_end)
        return write_end

    def prepare_child(self, then=None):
        """Runs in the child before the program starts."""
        for sig in self.ignored:
            signal.signal(sig, signal.SIG_IGN)
        if self.terminal is not None:
            os.setsid()
            # A session leader that opens a terminal makes it its own.
            fd = os.open(os.ttyname(self.terminal), os.O_RDWR)
            os.dup2(fd, 0)
            os.close(fd)
        for fd in self.closed:
            os.close(fd)
        if then:
            then()

    def type_keys(self, proc, timeout=30):
        """Types the keys once the program waits for one; a problem or None."""
        if self.keys is None:
            return None
        deadline = time.monotonic() + timeout
        while termios.tcgetattr(self.terminal)[3] & termios.ICANON:
            if proc.poll() is not None or time.monotonic() > deadline:
                return "the program never waited for a key"
            time.sleep(0.05)
        os.write(self.master, self.keys)
        return None

    def run(self, argv, **popen):
        """Runs the program to its end: (status, stdout, stderr, problems)."""
        stdout = self.stdout(subprocess.PIPE)
        proc = subprocess.Popen(argv, stdout=stdout, stderr=subprocess.PIPE, **popen)
        if stdout != subprocess.PIPE:
            os.close(stdout)
        problems = []
        typed = self.type_keys(proc)
        if typed:
            problems.append(typed)
        try:
            out, err = proc.communicate(timeout=60)
        except subprocess.TimeoutExpired:
            proc.kill()
            out, err = proc.communicate()
            problems.append("no end within 60 s")
        return proc.returncode, out or b"", err or b"", problems

    def check_terminal(self):
        if self.keys is None:
            return []
        after = termios.tcgetattr(self.terminal)[3]
        if after == self.flags_before:
            return []
        names = [n for n in ("ICANON", "ECHO", "ISIG", "IEXTEN") if (after ^ self.flags_before) & getattr(termios, n)]
        return [f"the terminal was left changed: {' '.join(names) or hex(after ^ self.flags_before)}"]

    def close(self):
        for fd in (self.master, self.terminal):
            if fd is not None:
                os.close(fd)


def install_fake_tools(root, tools_dir):
    bin_dir = os.path.join(root, "bin")
    os.makedirs(bin_dir, exist_ok=True)
    fake = os.path.join(tools_dir, "fake-tool")
    for name in FAKE_TOOLS:
        target = os.path.join(bin_dir, name)
        if not os.path.exists(target):
            os.symlink(fake, target)
    return bin_dir


def compare_after(folder, root):
    """Returns a list of differences between after/ and the tree under root."""
    problems = []
    after = os.path.join(folder, "after")
    if os.path.isdir(after):
        for base, _dirs, files in os.walk(after):
            for name in files:
                expected_path = os.path.join(base, name)
                rel = os.path.relpath(expected_path, after)
                actual_path = os.path.join(root, rel)
                expected = expand(read_bytes(expected_path).decode("latin-1"), root).encode("latin-1")
                if not os.path.isfile(actual_path):
                    problems.append(f"missing file {rel}")
                    continue
                actual = read_bytes(actual_path)
                if actual != expected:
                    problems.append(f"file {rel} differs\n--- expected\n{expected!r}\n--- actual\n{actual!r}")
    absent = os.path.join(folder, "absent")
    if os.path.isfile(absent):
        with open(absent, encoding="utf-8") as f:
            for rel in f.read().split("\n"):
                rel = rel.strip()
                if rel and os.path.lexists(os.path.join(root, rel)):
                    problems.append(f"{rel} should not exist")
    return problems


def check_screenshots(folder, root, keep_dir):
    """Every picture that the script asks for exists as a PNG file; with
    `keep_dir` it is copied there, named after the scenario's folder."""
    script = os.path.join(folder, "ui.script")
    if not os.path.isfile(script):
        return []
    problems = []
    for rel in re.findall(r'screenshot\s+"\$T/([^"]+)"', read_bytes(script).decode("latin-1")):
        path = os.path.join(root, rel)
        if not os.path.isfile(path) or read_bytes(path)[:8] != b"\x89PNG\r\n\x1a\n":
            problems.append(f"no PNG picture {rel}")
        elif keep_dir:
            os.makedirs(keep_dir, exist_ok=True)
            shutil.copy(path, os.path.join(keep_dir, os.path.basename(path)))
    return problems


class Skipped(Exception):
    pass


def run_with_real_input(argv, steps_file, **popen):
    """Starts the program with no script and plays the steps of its
    `xdotool` file at its windows; (status, stdout, stderr, problems)."""
    import realinput  # only these runs need an X display and python3-xlib

    steps = realinput.parse(steps_file)
    problems = []
    server = display = None
    if realinput.needs_own_display(steps):
        server, display = realinput.own_display()
        popen["env"]["DISPLAY"] = display
        popen["env"].pop("XAUTHORITY", None)
    player = realinput.Player(display, server)
    # Standard output is a pipe, as from an IDE, read as it comes, so that a
    # step can see what has arrived while the dialog is open.
    out = bytearray()
    with tempfile.TemporaryFile() as err:
        proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=err, **popen)
        reader = threading.Thread(target=lambda: [out.extend(c) for c in iter(lambda: proc.stdout.read1(4096), b"")],
                                  daemon=True)
        reader.start()
        try:
            player.play(steps, lambda: proc.poll() is None, lambda: bytes(out))
        except realinput.StepFailed as e:
            problems.append(str(e))
        finally:
            player.close()
        try:
            proc.wait(timeout=REAL_INPUT_END)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
            problems.append(f"the program did not end within {REAL_INPUT_END} s of the last step")
        # A tool that the program started may still hold the pipe.
        reader.join(timeout=REAL_INPUT_END)
        if server is not None and server.poll() is None:
            server.kill()
            server.wait()
        err.seek(0)
        return proc.returncode, bytes(out), err.read(), problems


def run_one(folder, program, tools_dir, ui, screenshots=None, real_input=False):
    setup = parse_scenario(os.path.join(folder, "scenario"))
    if setup["only"] == "real-input" and not real_input:
        raise Skipped("played by real input only")
    root = tempfile.mkdtemp(prefix="vszeb-scenario-")
    locked = []
    launched = []
    mounts = []
    try:
        before = os.path.join(folder, "before")
        if os.path.isdir(before):
            shutil.copytree(before, root, dirs_exist_ok=True, symlinks=True)
            expand_templates(root)
        for rel in setup["unremovable"]:
            path = os.path.join(root, rel)
            locked.append(path)
            if not make_unremovable(path):
                raise Skipped(f"cannot make {rel} unremovable here")
        for rel, kind in setup["mount"]:
            path = os.path.join(root, rel)
            if not mount_small(path, kind):
                raise Skipped(f"cannot mount a file system at {rel} here")
            mounts.append((rel, path, tree_of(path)))
        cwd = os.path.join(root, setup["cwd"])
        os.makedirs(cwd, exist_ok=True)
        bin_dir = install_fake_tools(root, tools_dir)

        env = {
            "PATH": f"{bin_dir}:/usr/bin:/bin",
            "HOME": root,
            "LANG": "C",
            "VSZEB_UI": ui,
            "VSZEB_TEST_ROOT": root,
            "ZEBHOME": os.path.join(root, "zebhome"),
        }
        # A back end with windows shows them on the display of the run.
        if ui != "headless":
            for name in ("DISPLAY", "XAUTHORITY"):
                if name in os.environ:
                    env[name] = os.environ[name]
        for entry in setup["env"]:
            if entry.startswith("-"):
                env.pop(entry[1:], None)
                continue
            name, _, value = entry.partition("=")
            env[name] = expand(value, root)
        script = os.path.join(folder, "ui.script")
        if os.path.isfile(script) and not real_input:
            expanded = os.path.join(root, "ui.script")
            with open(expanded, "wb") as f:
                f.write(expand(read_bytes(script).decode("latin-1"), root).encode("latin-1"))
            env["VSZEB_SCRIPT"] = expanded

        # The child is already in its working directory when it is removed.
        remove_cwd = (lambda: os.rmdir(cwd)) if setup["cwd-gone"] else None
        argv = [program] + [expand(a, root) for a in setup["args"]]
        launch = Launch(setup["launch"])
        launched.append(launch)
        popen = dict(cwd=cwd, env=env, stdin=subprocess.DEVNULL, preexec_fn=lambda: launch.prepare_child(remove_cwd))
        if real_input:
            status, stdout, stderr, problems = run_with_real_input(argv, os.path.join(folder, "xdotool"), **popen)
        else:
            status, stdout, stderr, problems = launch.run(argv, **popen)
        if status != setup["status"]:
            problems.append(f"exit status {status}, expected {setup['status']}")
        problems.extend(launch.check_terminal())
        expected_out = b""
        if os.path.isfile(os.path.join(folder, "stdout")):
            expected_out = expand(read_bytes(os.path.join(folder, "stdout")).decode("latin-1"), root)
            # the display the program was shown on (a run's own one has a number of its own)
            expected_out = expected_out.replace("$DISPLAY", env.get("DISPLAY", "")).encode("latin-1")
        if stdout != expected_out:
            problems.append(f"stdout differs\n--- expected\n{expected_out.decode('latin-1')}--- actual\n{stdout.decode('latin-1')}---")
        if os.path.isfile(os.path.join(folder, "stderr")):
            expected_err = expand(read_bytes(os.path.join(folder, "stderr")).decode("latin-1"), root).encode("latin-1")
            if stderr != expected_err:
                problems.append(f"stderr differs\n--- expected\n{expected_err.decode('latin-1')}--- actual\n{stderr.decode('latin-1')}---")
        # Programs started with "start" are not waited for by vsZEB: give them a moment.
        deadline = time.monotonic() + 5
        file_problems = compare_after(folder, root)
        while file_problems and time.monotonic() < deadline:
            time.sleep(0.1)
            file_problems = compare_after(folder, root)
        problems.extend(file_problems)
        for rel, path, tree in mounts:
            if tree_of(path) != tree:
                problems.append(f"{rel} held {tree} and holds {tree_of(path)}")
        if ui != "headless" and not real_input:
            problems.extend(check_screenshots(folder, root, screenshots))
        if problems and stderr and not os.path.isfile(os.path.join(folder, "stderr")):
            problems.append("stderr was:\n" + stderr.decode("latin-1"))
        return problems
    finally:
        for launch in launched:
            launch.close()
        for path in locked:
            release_unremovable(path)
        for _rel, path, _tree in reversed(mounts):
            unmount_small(path)
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--tools", required=True)
    parser.add_argument("--ui", default="headless")
    parser.add_argument("--screenshots", help="where to keep the pictures that scripts take")
    parser.add_argument("--real-input", action="store_true",
                        help="only the scenarios with an xdotool file, played at the windows instead of ui.script")
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()

    scenarios = [s for folder in args.folders for s in find_scenarios(folder)]
    if args.real_input:
        scenarios = [s for s in scenarios if os.path.isfile(os.path.join(s, "xdotool"))]
    if not scenarios:
        print("no scenarios found")
        return 1
    failed = skipped = 0
    for folder in scenarios:
        name = os.path.relpath(folder)
        try:
            problems = run_one(folder, os.path.abspath(args.program), os.path.abspath(args.tools), args.ui,
                               args.screenshots, args.real_input)
        except Skipped as reason:
            skipped += 1
            print(f"skip {name}: {reason}")
            continue
        if problems:
            failed += 1
            print(f"FAIL {name}")
            for p in problems:
                print("  " + p.replace("\n", "\n  "))
        else:
            print(f"ok   {name}")
    print(f"{len(scenarios) - failed - skipped} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
