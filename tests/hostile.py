#!/usr/bin/env python3
"""Hostile paths and names through the real program: one table, run by the
Linux scenario runner (tests/scenario.py) and by the Wine one with the real
cmd.exe (tests/wine/run.py).

Each text of the table goes where the program puts a path or a name of its
own into a command (the project name and the tool home of the report hook,
help's directory, the viewer, the Keil directory of zebwrap and del) and,
as an option text that the user types, into zebpost's options. Every tool
must receive exactly the one intended argument, and nothing else may run:
a stand-in `touch` on the search path and decoy batch files in the project,
named after what a command cut at a special character would run next,
record any run, and those records must not exist afterwards. A text that no
command can hold (a double quote) must be refused with its error line and
nothing run.

The table is turned into scenario folders (tests/scenarios/README.md) in a
temporary directory, which the runner named by --runner then runs.

Usage: hostile.py --runner linux --program vsZEB --tools DIR
       hostile.py --runner wine --program vsZEB.exe --prefix DIR [--ui headless]
"""

import argparse
import os
import re
import shlex
import shutil
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# (name, text). Each special character of cmd alone and mixed, blanks,
# "&&", quotes with a blank and without, "..", over 1000 bytes and bytes
# above 127. As a project word, which ends at a blank and may not be a
# path, its blanks and "/" become "_".
TEXTS = [
    ("amp", "R&D"),
    ("and-and", "a&&touch PWNED&&b"),
    ("pipe", "a|touch PWNED"),
    ("less", "a<b"),
    ("greater", "a>PWNED"),
    ("caret", "a^b^^c"),
    ("parens", "(a)b)"),
    ("comma", "a,b"),
    ("semicolon", "a;b"),
    ("equals", "a=b"),
    ("mixed", "x)&(touch PWNED)|^<a>,;="),
    ("blank", "my tools"),
    ("blank-amp", "a b&touch PWNED"),
    ("tab", "a\tb"),
    ("shell", "$(touch PWNED)`touch PWNED`;$HOME"),
    ("dot-dot", ".."),
    ("long", "/".join(["L" * 200 + "&M"] * 5) + "&touch PWNED"),
    ("high-bytes", "caf\u00e9\u00ff&\u00e0"),
    ("quote", 'my" && touch PWNED && "x'),
    ("quote-no-blank", 'my"tool'),
]

# What cmd.exe acts on outside quotes; a word holding one of these is quoted.
SPECIAL = set(" \t&|<>^(),;=")

# Option texts typed by the user go out as typed. These hold nothing that
# cmd.exe acts on, so the Windows tool receives the same words.
OPTIONS = [
    ("shell", "-v $(touch PWNED) `touch PWNED` $HOME ~ *"),
    ("quoted", '-v "two words" x'),
    ("long", "-v " + " ".join(["o" * 9] * 100)),
]


def not_a_windows_path(text):
    """Why a text cannot be a directory name on Windows (under Wine), or ""."""
    if '"' in text or set("<>|:*?") & set(text) or any(ord(c) < 32 for c in text):
        return "Windows file names hold none of < > | : * ? \" or control characters."
    if len(text) > 200:
        return "The path is longer than Windows' 260 characters."
    if any(ord(c) > 127 for c in text):
        return "Wine, run with LANG=C, clears the high bit of such bytes in file names and the environment."
    return ""


def word(text):
    return '"%s"' % text if not text or SPECIAL & set(text) else text


def script_string(text):
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def reg_string(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def decoys(text):
    """What a command cut at the first special character would run next:
    the rest of the text after it (in the project, where the cut command
    would look for it)."""
    cut = re.split(r"[&|<>^(),;= \t]+", text, maxsplit=1)
    return [cut[1]] if len(cut) == 2 and cut[1] else []


class Folder:
    def __init__(self, root, name):
        self.path = os.path.join(root, name)
        os.makedirs(self.path)

    def write(self, rel, text, executable=False):
        path = os.path.join(self.path, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        data = text.encode("utf-8") if isinstance(text, str) else text
        with open(path, "wb") as f:
            f.write(data)
        if executable:
            os.chmod(path, 0o755)

    def sh(self, rel, body):
        self.write(rel, "#!/bin/sh\n" + body + "\n", executable=True)

    def bat(self, rel, body):
        self.write(rel, "@echo off\r\n" + body.replace("\n", "\r\n") + "\r\n")

    def recorder(self, rel, line):
        """A tool at rel (before/...) that appends `line` and its first
        argument in quotes to calls.log, on both systems."""
        self.sh("before/" + rel, 'printf \'%s "%%s"\\n\' "$1" >> "$VSZEB_TEST_ROOT/calls.log"' % line)
        windows = rel if rel.endswith(".bat") else rel + ".bat"
        self.bat("before.windows/" + windows, '>>"%%VSZEB_TEST_ROOT%%\\calls.log" echo %s "%%~1"' % line)

    def traps(self, text):
        """The stand-in touch, the decoys, and what must not exist."""
        self.sh("before/bin/touch", 'echo "touch $*" >> "$VSZEB_TEST_ROOT/injected.log"')
        self.bat("before.windows/bin/touch.bat", '>>"%VSZEB_TEST_ROOT%\\injected.log" echo touch %*')
        absent = ["injected.log", "decoy.log", "project/PWNED", "PWNED"]
        for decoy in decoys(text):
            if "/" in decoy or decoy in (".", "..", "PWNED") or len(decoy) > 200:
                continue
            self.sh("before/project/" + decoy, 'echo decoy >> "$VSZEB_TEST_ROOT/decoy.log"')
            self.sh("before/project/" + decoy + ".bat", 'echo decoy >> "$VSZEB_TEST_ROOT/decoy.log"')
            self.bat("before.windows/project/" + decoy + ".bat", '>>"%VSZEB_TEST_ROOT%\\decoy.log" echo decoy')
        self.write("absent", "\n".join(absent) + "\n")

    def nothing_ran(self):
        with open(os.path.join(self.path, "absent"), "a") as f:
            f.write("calls.log\n")

    def scenario(self, lines, windows=True, reason=""):
        self.write("scenario", "\n".join(lines) + "\n")
        if not windows:
            self.write("not-on-windows", reason + "\n")


def refused(path):
    return ("*** Error: The path %s contains a double quote character, which cannot be passed to the tools safely.\n"
            % path)


def add_project_name(root, name, text):
    f = Folder(root, "project-name-" + name)
    text = re.sub(r"[ \t/]", "_", text)
    f.traps(text)
    f.recorder("zebhome/Vs_integ/report_hook.bat", "report_hook.bat")
    high = any(ord(c) > 127 for c in text)
    f.scenario(["# The project name of the report hook: " + name, "args: report vs " + shlex.quote(text)],
               '"' not in text and not high, not_a_windows_path(text) if high else
               "The IDE cannot pass a double quote inside the project word on Windows.")
    if '"' in text:
        f.write("stdout", "Working at $T/project\n*** Error: The project name %s contains a double quote "
                "character, which cannot be passed to the tools safely.\n" % text)
        f.nothing_ran()
        return
    if text in (".", ".."):
        f.write("stdout", "Working at $T/project\n*** Error: The project name %s is a path, but the project's "
                "files must stay in its directory.\n" % text)
        return
    f.write("ui.script", 'dialog "ZEB++ Report"\nclick 1106\n')
    f.write("stdout", 'Working at $T/project\nInvoking...\n$T/zebhome/Vs_integ/report_hook.bat "%s"\n' % text)
    f.write("after/calls.log", 'report_hook.bat "%s"\n' % text)


def add_tool_home(root, name, text):
    f = Folder(root, "tool-home-" + name)
    f.traps(text)
    home = text + "/Vs_integ/"
    f.recorder(home + "report_hook.bat", "report_hook.bat")
    f.sh("before/" + home + "vsZEBhelp.bat", 'echo "vsZEBhelp.bat $(basename "$(pwd)")" >> "$VSZEB_TEST_ROOT/calls.log"')
    f.bat("before.windows/" + home + "vsZEBhelp.bat", '>>"%VSZEB_TEST_ROOT%\\calls.log" echo vsZEBhelp.bat Vs_integ')
    reason = not_a_windows_path(text)
    f.scenario(["# The tool home of the report hook and of help: " + name, "args: report vs Demo",
                "env: ZEBHOME=$T/" + text], not reason, reason)
    hook = "$T/" + text + "/Vs_integ/report_hook.bat"
    if '"' in text:
        f.write("stdout", "Working at $T/project\n" + refused(hook))
        f.nothing_ran()
        return
    f.write("ui.script", 'dialog "ZEB++ Report"\nclick 1195\nclick 1106\n')
    f.write("stdout", 'Working at $T/project\nInvoking...\n%s "Demo"\n' % word(hook))
    f.write("after/calls.log", 'report_hook.bat "Demo"\nvsZEBhelp.bat Vs_integ\n')


def add_viewer(root, name, text):
    f = Folder(root, "viewer-" + name)
    f.traps(text)
    f.recorder(text + "/viewer", "viewer")
    # Chosen with Select...: the settings file would keep only 999 bytes of it.
    f.write("before/project/Demo.zeb", "-T 75 -x zebreport.xml\n501viewer\n\n")
    reason = not_a_windows_path(text)
    f.scenario(["# The viewer's path: " + name, "args: report vs Demo"], not reason, reason)
    for suffix, tool in (("", "viewer"), (".windows", "viewer.bat")):
        f.write("ui.script" + suffix, 'dialog "ZEB++ Report"\nclick 1051\nfiledialog %s\nclick 1105\n'
                % script_string("$T/%s/%s" % (text, tool)))
    head = "Working at $T/project\n"
    if '"' in text:
        f.write("stdout", head + refused("$T/" + text + "/viewer"))
        f.nothing_ran()
        return
    for suffix, tool in (("", "viewer"), (".windows", "viewer.bat")):
        f.write("stdout" + suffix, head + "Invoking...\nzebpost -x zebreport.xml\nStarting the report $T/%s/%s "
                "zebreport.xml\n" % (text, tool))
    f.write("after/calls.log", 'zebpost "-x" "zebreport.xml"\nviewer "zebreport.xml"\n')


def add_keil_directory(root, name, text):
    f = Folder(root, "keil-directory-" + name)
    f.traps(text)
    f.write("before/%s/BIN/zebopts.rsp" % text, "-i m -v\n")
    f.write("before/%s/BIN/zebmodeon.txt" % text, "")
    f.write("before/keil.reg.tmpl", "Windows Registry Editor Version 5.00\n\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\C51]\n\"Path\"=\"$T/%s\"\n" % reg_string(text))
    f.scenario(["# The Keil directory of zebwrap and del: " + name, "args: set uv Demo", "env: ZEBWRAPDIR=$T/wrap",
                "env: VSZEB_REGISTRY=$T/keil.reg"], False,
               "Windows hands zebwrap the short form of the Keil directory, which is not the name itself.")
    f.write("ui.script", 'dialog "ZEB++ Set/Clean"\nclick 1183\nclick 1178\n')
    f.write("after/%s/BIN/zebopts.rsp" % text, "-i m -v\n")
    head = "Working at $T/project\n"
    if '"' in text:
        f.write("stdout", head + refused("$T/" + text + "/BIN"))
        f.write("after/%s/BIN/zebmodeon.txt" % text, "")
        f.nothing_ran()
        return
    f.write("stdout", head + "ZEB++ Mode is set OFF\nBuilds are normal, without ZEB++\n")
    f.write("after/calls.log", 'zebwrap "-hard" "-ide" "-modeoff" "-only" "$T/%s/BIN"\n' % text)
    with open(os.path.join(f.path, "absent"), "a") as absent:
        absent.write(text + "/BIN/zebmodeon.txt\n")


def add_options(root, name, text):
    f = Folder(root, "zebpost-options-" + name)
    f.traps(text)
    f.write("before/project/Demo.zeb", "-T 75 -x zebreport.xml\n500\n\n")
    f.scenario(["# zebpost options typed by the user go out as typed: " + name, "args: report vs Demo"])
    f.write("ui.script", 'dialog "ZEB++ Report"\ntype 1135 %s\nclick 1105\n' % script_string(text))
    f.write("stdout", "Working at $T/project\nInvoking...\nzebpost %s -x zebreport.xml\n"
            "Start the report from the file zebreport.xml\n" % text)
    args = shlex.split(text) + ["-x", "zebreport.xml"]
    f.write("after/calls.log", "zebpost " + " ".join('"%s"' % a for a in args) + "\n")


def generate(root):
    for name, text in TEXTS:
        add_project_name(root, name, text)
        if text == "..":
            continue  # as a directory, only the parent
        add_tool_home(root, name, text)
        add_viewer(root, name, text)
        # The registry value of the Keil path is read into 300 bytes.
        if len(text) < 250:
            add_keil_directory(root, name, text)
    for name, text in OPTIONS:
        add_options(root, name, text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", choices=["linux", "wine"], required=True)
    parser.add_argument("--keep", help="write the scenarios here and keep them")
    args, rest = parser.parse_known_args()
    root = args.keep or tempfile.mkdtemp(prefix="vszeb-hostile-")
    try:
        generate(root)
        if args.runner == "linux":
            sys.path.insert(0, HERE)
            import scenario as runner
        else:
            sys.path.insert(0, os.path.join(HERE, "wine"))
            import run as runner
        sys.argv = [sys.argv[0]] + rest + [root]
        return runner.main()
    finally:
        if not args.keep:
            shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
