#!/usr/bin/env python3
"""Runs the vsZEB scenarios against the Windows program under Wine, with the
real cmd.exe, the stand-in tools as batch files and the Keil entries in the
prefix's registry.

The scenario format is that of tests/scenarios/README.md. What the Windows
program prints differs from the Linux one only where the system does:

- `$T` is the scenario's root as Windows sees it (Z:\\...), and a path that
  starts with `$T` uses backslashes up to the next double quote or line end;
- every line ends in CR LF (stdout, stderr and the text files in after/);
- `stdout.windows`, `stderr.windows`, `ui.script.windows`, `after.windows/NAME`
  and `before.windows/NAME` replace their counterparts where the Windows text
  differs in some other way;
- a file `wine-difference` holds the reason why Wine cannot give the Windows
  result: such a scenario is reported as a known difference, not a failure.
  `stdout.wine`, `stderr.wine` and `after.wine/NAME` then say what Wine gives
  instead: when there are any, the scenario is a known difference only when
  Wine's result is exactly that, and fails otherwise;
- a file `not-on-windows` holds the reason why the scenario does not apply to
  the Windows program at all (it is not run);
- a file named by `unremovable:` is made read-only, which Windows will not
  delete (the immutable flag of the Linux runner does not stop Wine);
- The registry file named by VSZEB_REGISTRY is imported into the prefix's
  registry for the run, and the Keil key is removed again afterwards.
- the stand-in tools are batch files NAME.bat in $T/bin, but one for which
  before/ or before.windows/ put something of its own in bin/ (NAME or
  NAME.bat) is not made: as on Linux, that takes the tool's place;
- the search path of the Windows commands is the system's own, and the
  entries below $T of the scenario's PATH (by default $T/bin) before it;
- `env: -NAME` removes NAME from the program's environment even where Wine
  would put in the system's own value (COMSPEC);
- a file NAME.decoy in before/ or before.windows/ becomes NAME, a program
  that must never run: when it does, it notes its command line in
  $T/decoy.log (list that in `absent`) and ends with 0;
- `launch:` lines (see tests/scenario.py) apply to the Wine process:
  `close FD` and `no-reader`; the others are for Linux only;
- "start FILE" opens the file with the program registered for its type: for
  the listings (.txt, .xml) that is `opener`, one more stand-in tool, which
  takes the place of the desktop's opener of the Linux runs. Windows hands it
  the file's full path.

Pictures that a script takes (`screenshot "$T/NAME.png"`) must exist as PNG
files when a back end with windows runs; --screenshots keeps them.

Usage: run.py --program build/windows-i686/vsZEB.exe --prefix DIR
              [--ui headless|win32] [--screenshots DIR] [--dpi N] FOLDER...
"""

import argparse
import os
import random
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
from scenario import (Launch, Skipped, check_screenshots, find_scenarios, make_unremovable,  # noqa: E402
                      mount_small, parse_scenario, read_bytes, release_unremovable, tree_of, unmount_small)

FAKE_TOOLS = ["zebwrap", "zebpost", "zeb2html", "viewer", "opener"]
WINE_TIMEOUT = 60
# Wine's own fonts (Debian's fonts-wine), which this Wine does not find there
# by itself.
WINE_FONTS = "/usr/share/wine/fonts"
KEIL_KEY = r"HKEY_LOCAL_MACHINE\SOFTWARE\Keil"
# The file types of the listings that "start FILE" opens, and the program
# class that opens them with each scenario's own opener.bat.
LISTING_TYPES = [".txt", ".xml"]
OPENER_CLASS = "vszeb.testlisting"
OPENER_COMMAND = r'"%VSZEB_TEST_ROOT%\bin\opener.bat" "%1"'

T_PATH = re.compile(r'\$T([^"\r\n]*)')


def win_path(unix_path):
    return "Z:" + unix_path.replace("/", "\\")


def expand(text, root, escape=False):
    """$T and the path that follows it, in Windows form; `escape` doubles the
    backslashes (for a UI script's strings and a registry file's values)."""
    def one(m):
        path = win_path(root + m.group(1))
        return path.replace("\\", "\\\\") if escape else path
    return T_PATH.sub(one, text)


def crlf(data):
    return data if b"\r\n" in data else data.replace(b"\n", b"\r\n")


# Every root has this form, and so the same length (deep-path scenarios rely on it).
ROOT_FORM = "/tmp/vz%06x"


def short_root():
    """A root whose every part is a valid 8.3 name, so that the short form of
    a path below it (the Keil directories) is the path itself."""
    while True:
        root = ROOT_FORM % random.randrange(1 << 24)
        try:
            os.mkdir(root)
            return root
        except FileExistsError:
            continue


def search_path(entries, root):
    """The WINEPATH of a scenario: the directories below $T of its PATH, in
    their order. The Linux system directories of that PATH have no Windows
    counterpart beyond the system's own search path, which Wine keeps."""
    path = "$T/bin"
    for entry in entries:
        if entry == "-PATH":
            path = ""
        elif entry.startswith("PATH="):
            path = entry[len("PATH="):]
    return ";".join(win_path(root + part[2:]) for part in path.split(":") if part.startswith("$T"))


def bat_text(text):
    """A text as an echo line of a batch file writes it."""
    text = text.replace("%", "%%")
    return re.sub(r'([&|<>^()])', r"^\1", text)


def fake_tool(name, settings):
    """A batch file that does what tests/tools/fake-tool does under `name`,
    with its ZEBTEST_<NAME>_... settings written in."""
    lines = [
        "@echo off",
        "setlocal",
        "set line=%~n0",
        ":args",
        "if [%1]==[] goto logged",
        'set line=%line% "%~1"',
        "shift",
        "goto args",
        ":logged",
        'if defined VSZEB_TEST_ROOT >>"%VSZEB_TEST_ROOT%\\calls.log" echo %line%',
    ]
    get = lambda key: settings.get("ZEBTEST_%s_%s" % (name.upper().replace("-", "_"), key), "")
    if get("OUT"):
        lines.append("echo " + bat_text(get("OUT")))  # ends at the line end: no blank after the text
    if get("ERR"):
        # The redirection in front: after the text it would leave a blank
        # at the line's end, and Wine's cmd takes "1>&2" there for a word.
        lines.append(">&2 echo " + bat_text(get("ERR")))
    if get("COPY"):
        src, dest = shlex.split(get("COPY").replace("\\", "\\\\"))
        lines.append('copy /y "%s" "%s" >nul' % (src.replace("/", "\\"), dest.replace("/", "\\")))
    if get("TOUCH"):
        lines.append('type nul > "%s"' % get("TOUCH").replace("/", "\\"))
    if get("REMOVE"):
        lines.append('if exist "%s" del "%s"' % ((get("REMOVE").replace("/", "\\"),) * 2))
    if get("SLEEP"):
        lines.append("ping -n %d 127.0.0.1 >nul" % (int(get("SLEEP")) + 1))
    lines.append("exit /b %s" % (get("STATUS") or "0"))
    return ("\r\n".join(lines) + "\r\n").encode("latin-1")


class Wine:
    def __init__(self, prefix, display, dpi=96):
        self.dpi = dpi
        self.env = {
            "PATH": "/usr/bin:/bin",
            "HOME": os.environ.get("HOME", "/root"),
            "WINEPREFIX": prefix,
            "WINEARCH": "win32",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
        }
        if display:
            self.env["DISPLAY"] = display
            if "XAUTHORITY" in os.environ:
                self.env["XAUTHORITY"] = os.environ["XAUTHORITY"]

    def run(self, argv, env=None, cwd=None, timeout=WINE_TIMEOUT, launch=None):
        """(status or None on a time-out, stdout, stderr). The output goes
        through files, not pipes: Wine's own background processes may inherit
        the handles and would keep a pipe open after the program ended.
        `launch` (a scenario.Launch) sets up the Wine process's state."""
        full = dict(self.env)
        full.update(env or {})
        launch = launch or Launch([])
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            stdout = launch.stdout(out)
            proc = subprocess.Popen(["wine"] + argv, cwd=cwd, env=full, stdin=subprocess.DEVNULL,
                                    stdout=stdout, stderr=err, start_new_session=True,
                                    preexec_fn=launch.prepare_child)
            if stdout is not out:
                os.close(stdout)
            try:
                status = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                status = None
            out.seek(0)
            err.seek(0)
            return status, out.read(), err.read()

    def start(self):
        """Makes the prefix when it is missing and starts one server, with
        Wine's services, for the whole run."""
        quiet = dict(env=self.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                     stderr=subprocess.DEVNULL, timeout=300)
        if not os.path.isfile(os.path.join(self.env["WINEPREFIX"], "system.reg")):
            subprocess.run(["wineboot", "-i"], **quiet)
        self.add_fonts()
        subprocess.run(["wineserver", "-p"], **quiet)
        # Every run sets the screen's DPI, so that none inherits the last
        # one's; Wine chooses its font files by it when the next process starts.
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(self.dpi), "/f"], **quiet)
        subprocess.run(["wine", "cmd.exe", "/c", "exit"], **quiet)
        if "DISPLAY" in self.env:
            # Without a window manager (Xvfb) Wine draws the caption and frame itself.
            subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated",
                            "/d", "N", "/f"], **quiet)

    def add_fonts(self):
        """Links Wine's own fonts into the prefix's font folder. Without
        them the dialogs' "MS Sans Serif" falls back to a wider face, which
        cuts off the end of long labels, and the caption's buttons show the
        letter of the missing symbol font instead of their glyph."""
        if not os.path.isdir(WINE_FONTS):
            return
        folder = os.path.join(self.env["WINEPREFIX"], "drive_c", "windows", "Fonts")
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(WINE_FONTS):
            target = os.path.join(folder, name)
            if not os.path.lexists(target):
                os.symlink(os.path.join(WINE_FONTS, name), target)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=WINE_TIMEOUT)

    def remove_keil(self):
        self.run(["reg", "delete", KEIL_KEY, "/f"])

    def register_opener(self):
        """Makes the opener stand-in the program of the listings' file types;
        returns what each type had before (None: no key), for put_back."""
        before = {}
        for ext in LISTING_TYPES:
            status, out, _err = self.run(["reg", "query", "HKCR\\" + ext, "/ve"])
            found = re.search(r"\(Default\)\s+REG_SZ\s+(.*?)\r?$", out.decode("latin-1"), re.M)
            value = found.group(1) if found and found.group(1) != "(value not set)" else ""
            before[ext] = value if status == 0 else None
            self.run(["reg", "add", "HKCR\\" + ext, "/ve", "/d", OPENER_CLASS, "/f"])
        self.run(["reg", "add", "HKCR\\%s\\shell\\open\\command" % OPENER_CLASS, "/ve", "/t", "REG_EXPAND_SZ",
                  "/d", OPENER_COMMAND, "/f"])
        return before

    def put_back(self, before):
        for ext, value in before.items():
            if value is None:
                self.run(["reg", "delete", "HKCR\\" + ext, "/f"])
            elif value:
                self.run(["reg", "add", "HKCR\\" + ext, "/ve", "/d", value, "/f"])
            else:
                self.run(["reg", "delete", "HKCR\\" + ext, "/ve", "/f"])
        self.run(["reg", "delete", "HKCR\\" + OPENER_CLASS, "/f"])


def build_launcher(program):
    """launch.exe beside the program, made from launch.cpp when it is older."""
    source = os.path.join(HERE, "launch.cpp")
    target = os.path.join(os.path.dirname(program), "wine-launch.exe")
    if not os.path.exists(target) or os.path.getmtime(target) < os.path.getmtime(source):
        subprocess.run(["i686-w64-mingw32-g++", "-std=c++20", "-O1", "-static", "-Wall", "-Wextra", "-Werror",
                        "-o", target, source], check=True, timeout=300)
    return target


# The expectations of a run: Windows' own, and what Wine gives where it
# cannot give that (consulted only for a marked Wine difference).
WINDOWS = (".windows",)
WINE = (".wine", ".windows")


def overridden(folder, name, variant=WINDOWS):
    """The most specific variant of a scenario file that exists."""
    for candidate in [name + suffix for suffix in variant] + [name]:
        path = os.path.join(folder, candidate)
        if os.path.exists(path):
            return path
    return None


def has_wine_result(folder):
    return any(os.path.exists(os.path.join(folder, name + ".wine")) for name in ("stdout", "stderr", "after"))


def copy_tree(src, root):
    if os.path.isdir(src):
        shutil.copytree(src, root, dirs_exist_ok=True, symlinks=True)


def expand_templates(root):
    for base, _dirs, files in os.walk(root):
        for name in files:
            if name.endswith(".tmpl"):
                path = os.path.join(base, name)
                target = path[: -len(".tmpl")]
                text = read_bytes(path).decode("latin-1")
                with open(target, "wb") as f:
                    f.write(expand(text, root, escape=target.endswith(".reg")).encode("latin-1"))
                os.remove(path)


def compare_after(folder, root, variant=WINDOWS):
    problems = []
    expected_files = {}
    for sub in ["after"] + ["after" + suffix for suffix in reversed(variant)]:
        top = os.path.join(folder, sub)
        for base, _dirs, files in os.walk(top):
            for name in files:
                path = os.path.join(base, name)
                expected_files[os.path.relpath(path, top)] = path
    for rel, path in sorted(expected_files.items()):
        raw = read_bytes(path)
        # What the program or the tools write as text has Windows line ends.
        # A file whose text stays as it was may also keep its bytes, when
        # nothing wrote it again.
        expected = crlf(expand(raw.decode("latin-1"), root).encode("latin-1"))
        unchanged = os.path.join(folder, "before", rel)
        accepted = {expected}
        if os.path.isfile(unchanged) and read_bytes(unchanged) == raw:
            accepted.add(raw)
        actual_path = os.path.join(root, rel)
        if not os.path.isfile(actual_path):
            problems.append(f"missing file {rel}")
            continue
        actual = read_bytes(actual_path)
        if actual not in accepted:
            problems.append(f"file {rel} differs\n--- expected\n{expected!r}\n--- actual\n{actual!r}")
    absent = os.path.join(folder, "absent")
    if os.path.isfile(absent):
        for rel in read_bytes(absent).decode("utf-8").split("\n"):
            rel = rel.strip()
            if rel and os.path.lexists(os.path.join(root, rel)):
                problems.append(f"{rel} should not exist")
    return problems


def place_decoys(root, launcher_path):
    for base, _dirs, files in os.walk(root):
        for name in files:
            if name.endswith(".decoy"):
                path = os.path.join(base, name)
                shutil.copy(launcher_path, path[: -len(".decoy")])
                os.remove(path)


def run_one(wine, folder, program, launcher, ui, screenshots, launcher_path):
    setup = parse_scenario(os.path.join(folder, "scenario"))
    root = short_root()
    mounts = []
    try:
        copy_tree(os.path.join(folder, "before"), root)
        copy_tree(os.path.join(folder, "before.windows"), root)
        expand_templates(root)
        place_decoys(root, launcher_path)
        for rel in setup["unremovable"]:
            make_unremovable(os.path.join(root, rel), immutable=False)
        for rel, kind in setup["mount"]:
            path = os.path.join(root, rel)
            if not mount_small(path, kind):
                raise Skipped(f"cannot mount a file system at {rel} here")
            mounts.append((rel, path, tree_of(path)))
        cwd = os.path.join(root, setup["cwd"])
        os.makedirs(cwd, exist_ok=True)

        env = {
            "LANG": "C",
            "VSZEB_UI": ui,
            "VSZEB_TEST_ROOT": win_path(root),
            "ZEBHOME": win_path(os.path.join(root, "zebhome")),
        }
        unset = []
        for entry in setup["env"]:
            if entry.startswith("-"):
                env.pop(entry[1:], None)
                unset.append(entry[1:])
                continue
            name, _, value = entry.partition("=")
            env[name] = expand(value, root)
        if unset:
            env["VSZEB_LAUNCH_UNSET"] = " ".join(unset)

        bin_dir = os.path.join(root, "bin")
        os.makedirs(bin_dir, exist_ok=True)
        for name in FAKE_TOOLS:
            target = os.path.join(bin_dir, name + ".bat")
            if not os.path.lexists(target) and not os.path.lexists(os.path.join(bin_dir, name)):
                with open(target, "wb") as f:
                    f.write(fake_tool(name, env))
        # Wine builds the Windows search path from its registry and WINEPATH,
        # never from the Unix PATH, which must stay as it is to find Wine.
        env.pop("PATH", None)
        search = search_path(setup["env"], root)
        if search:
            env["WINEPATH"] = search

        script = overridden(folder, "ui.script") or ""
        if os.path.isfile(script):
            expanded = os.path.join(root, "ui.script")
            with open(expanded, "wb") as f:
                f.write(expand(read_bytes(script).decode("latin-1"), root, escape=True).encode("latin-1"))
            env["VSZEB_SCRIPT"] = win_path(expanded)

        registry = env.get("VSZEB_REGISTRY")
        wine.remove_keil()
        if registry:
            status, out, err = wine.run(["reg", "import", registry])
            if status != 0:
                return ["cannot import %s: %s" % (registry, (out + err).decode("latin-1").strip())], None

        # The command line as an IDE passes it: the program, then the words with one blank between them.
        env["VSZEB_LAUNCH_LINE"] = " ".join(['"%s"' % program] + [expand(a, root) for a in setup["args"]])
        linux_only = [verb for verb, _ in setup["launch"] if verb not in ("close", "no-reader")]
        if linux_only:
            return [f"launch: {linux_only[0]} is for Linux only (mark the scenario not-on-windows)"], None
        status, out, err = wine.run([launcher], env=env, cwd=cwd, launch=Launch(setup["launch"]))

        def check(variant):
            problems = []
            if status is None:
                problems.append(f"no end within {WINE_TIMEOUT} s")
            elif status != setup["status"]:
                problems.append(f"exit status {status}, expected {setup['status']}")
            expected_path = overridden(folder, "stdout", variant)
            expected_out = crlf(expand(read_bytes(expected_path).decode("latin-1"), root).encode("latin-1")) \
                if expected_path else b""
            if out != expected_out:
                problems.append(f"stdout differs\n--- expected\n{expected_out!r}\n--- actual\n{out!r}")
            expected_path = overridden(folder, "stderr", variant)
            if expected_path:
                expected_err = crlf(expand(read_bytes(expected_path).decode("latin-1"), root).encode("latin-1"))
                if err != expected_err:
                    problems.append(f"stderr differs\n--- expected\n{expected_err!r}\n--- actual\n{err!r}")
            # Programs started with "start" are not waited for: give them a moment.
            deadline = time.monotonic() + 5
            file_problems = compare_after(folder, root, variant)
            while file_problems and time.monotonic() < deadline:
                time.sleep(0.1)
                file_problems = compare_after(folder, root, variant)
            problems.extend(file_problems)
            for rel, path, tree in mounts:
                if tree_of(path) != tree:
                    problems.append(f"{rel} held {tree} and holds {tree_of(path)}")
            if ui != "headless":
                problems.extend(check_screenshots(folder, root, screenshots))
            if problems and err and not expected_path:
                problems.append("stderr was:\n" + err.decode("latin-1"))
            return problems

        problems = check(WINDOWS)
        marked = os.path.isfile(os.path.join(folder, "wine-difference"))
        wine_problems = check(WINE) if problems and marked and has_wine_result(folder) else None
        return problems, wine_problems
    finally:
        for rel in setup["unremovable"]:
            release_unremovable(os.path.join(root, rel))
        for _rel, path, _tree in reversed(mounts):
            unmount_small(path)
        if os.environ.get("VSZEB_KEEP_ROOT"):
            print("  kept " + root)
        else:
            shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--prefix", required=True, help="the Wine prefix (made with wineboot -i)")
    parser.add_argument("--ui", default="headless")
    parser.add_argument("--screenshots", help="where to keep the pictures that scripts take")
    parser.add_argument("--dpi", type=int, default=96, help="the screen's DPI that Windows reports (LogPixels)")
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()

    wine = Wine(os.path.abspath(args.prefix), os.environ.get("DISPLAY") if args.ui != "headless" else None,
                args.dpi)
    program = win_path(os.path.abspath(args.program))
    launcher_path = build_launcher(os.path.abspath(args.program))
    launcher = win_path(launcher_path)
    scenarios = [s for folder in args.folders for s in find_scenarios(folder)]
    if not scenarios:
        print("no scenarios found")
        return 1
    wine.start()
    associations = wine.register_opener()
    failed = known = skipped = 0
    try:
        for folder in scenarios:
            name = os.path.relpath(folder)
            skip_file = os.path.join(folder, "not-on-windows")
            if os.path.isfile(skip_file):
                skipped += 1
                print(f"skip {name}: " + read_bytes(skip_file).decode("utf-8").strip())
                continue
            try:
                problems, wine_problems = run_one(wine, folder, program, launcher, args.ui, args.screenshots,
                                                  launcher_path)
            except Skipped as reason:
                skipped += 1
                print(f"skip {name}: {reason}")
                continue
            reason_file = os.path.join(folder, "wine-difference")
            if wine_problems:
                failed += 1
                print(f"FAIL {name}: neither the Windows result nor the known Wine one")
                for p in wine_problems:
                    print("  " + p.replace("\n", "\n  "))
            elif problems and os.path.isfile(reason_file):
                known += 1
                print(f"known {name}: " + read_bytes(reason_file).decode("utf-8").strip())
            elif problems:
                failed += 1
                print(f"FAIL {name}")
                for p in problems:
                    print("  " + p.replace("\n", "\n  "))
            elif os.path.isfile(reason_file):
                print(f"ok   {name} (marked as a Wine difference, but it holds)")
            else:
                print(f"ok   {name}")
            sys.stdout.flush()
    finally:
        wine.remove_keil()
        wine.put_back(associations)
        wine.stop()
    print(f"{len(scenarios) - failed - known - skipped} passed, {failed} failed, {known} known Wine differences,"
          f" {skipped} skipped or not for Windows")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
