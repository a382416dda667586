#!/usr/bin/env python3
"""Writes the options file and the settings file where their full Windows path
is 250 to 259 characters long, just within MAX_PATH (260 with the final
zero), and checks their bytes afterwards. The scenarios are made here, one per
file and length, and run by run.py with the arguments given (--program,
--prefix, --ui ...).

Usage: deep-paths.py RUN.PY-OPTIONS...
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import run  # noqa: E402

ROOT_LENGTH = len(run.win_path(run.ROOT_FORM % 0))
LENGTHS = range(250, 260)
# The longest current directory that Wine's cmd.exe starts in.
WINE_CMD_DIR_LIMIT = 245


def deep_dir(length):
    """A relative directory path of exactly `length` characters, in parts of
    60 or 61 (a single part may be no longer than 255)."""
    parts = []
    while length > 61:
        parts.append(chr(ord("a") + len(parts) % 26) * 60)
        length -= 61
    parts.append("z" * length)
    return "/".join(parts)


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="latin-1", newline="\n") as f:
        f.write(text)


def options_scenario(folder, length):
    # $T\<dir>\zebopts.rsp
    d = deep_dir(length - ROOT_LENGTH - 2 - len("zebopts.rsp"))
    write(os.path.join(folder, "scenario"),
          f"# The options file at {length} characters of path.\nargs: set vs Demo\nenv: ZEBWRAPDIR=$T/{d}\n")
    write(os.path.join(folder, "ui.script"), 'dialog "ZEB++ Set/Clean"\ntype 1137 "-v"\nclick 1178\n')
    write(os.path.join(folder, "before", "zebhome", "wrapcmds.txt"), "wrapcmds\n")
    write(os.path.join(folder, "before", d, "zebopts.rsp"), "-i d -old\n")
    write(os.path.join(folder, "stdout"),
          "Working at $T/project\nZEB++ Mode is OFF\nBuilds are normal, without ZEB++\n")
    write(os.path.join(folder, "after", d, "zebopts.rsp"), "-i d -v\n")


def settings_scenario(folder, length):
    # $T\<dir>\Demo.zeb, in the project directory the program is started in
    d = deep_dir(length - ROOT_LENGTH - 2 - len("Demo.zeb"))
    write(os.path.join(folder, "scenario"),
          f"# The settings file at {length} characters of path.\nargs: report vs Demo\ncwd: {d}\n")
    write(os.path.join(folder, "ui.script"),
          'dialog "ZEB++ Report"\nselect 1074 4\nclick 1068\nclick 1105\n')
    write(os.path.join(folder, "before", d, "Demo.zeb"), "-T 75 -p zebprofile.txt\n001\n\n")
    # OK writes the file before the report runs: a timing listing, the viewer
    # off, so that the stand-in zebpost is all that runs.
    write(os.path.join(folder, "stdout"), f"Working at $T/{d}\nInvoking...\nzebpost -t zebtiming.txt\n"
          "Start the report from the file zebtiming.txt\n")
    write(os.path.join(folder, "after", d, "Demo.zeb"), "-T 75 -t zebtiming.txt\n400\n\n")
    if length - len("\\Demo.zeb") > WINE_CMD_DIR_LIMIT:
        write(os.path.join(folder, "wine-difference"),
              "Wine's cmd.exe does not start in a directory whose path is longer than "
              f"{WINE_CMD_DIR_LIMIT} characters (\"File name is too long.\"), so zebpost does not run; "
              "the settings file, written before the report runs, is checked all the same.\n")
        write(os.path.join(folder, "stdout.wine"),
              f"Working at $T/{d}\r\nInvoking...\r\nzebpost -t zebtiming.txt\r\nFile name is too long.\n"
              "Start the report from the file zebtiming.txt\r\n")


def main():
    work = tempfile.mkdtemp(prefix="vszeb-deep-")
    try:
        for length in LENGTHS:
            options_scenario(os.path.join(work, "options-%d" % length), length)
            settings_scenario(os.path.join(work, "settings-%d" % length), length)
        return subprocess.call([sys.executable, os.path.join(HERE, "run.py")] + sys.argv[1:] + [work])
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
