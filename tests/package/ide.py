#!/usr/bin/env python3
"""Checks the IDE tool definitions in ide/: every XML file is well formed,
every INI file parses, and every definition, with the IDE's macros filled in
as the IDE would fill them for a sample project, gives a command line and a
working directory that vsZEB accepts for that IDE: the headless back end
opens the dialog of the operation (the Report dialog with that IDE's own
report entry) and a script cancels it. CodeWarrior passes "no project" as
two quote characters, which is checked too.

Visual Studio's file is checked against what Visual Studio itself writes and
documents: its external tools must stand where the settings files exported
by Visual Studio 2012 to 2022 hold them (Environment_ExternalTools >
ExternalTools > UserCreatedTool, with the fields such an export has, each
once), and every $(...) argument must be one of the arguments that
Microsoft's "Manage external tools" page lists; Visual Studio fills in no
other (build-event macros such as $(ProjectName) reach the tool unchanged).

Usage: ide.py --program build/linux/vsZEB IDE_DIR
"""

import argparse
import configparser
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

LINUX_PROGRAM = "/usr/bin/vsZEB"
WINDOWS_PROGRAM = r"C:\Program Files (x86)\vsZEB\vsZEB.exe"
PROJECT = "Demo"
EXTERNAL_TOOLS = "org.eclipse.ui.externaltools."

# Folder of ide/: IDE code, where the program is installed, and the IDE's
# macros for the project name and the project directory.
IDES = {
    "visualstudio": ("vs", WINDOWS_PROGRAM, "$(TargetName)", "$(ProjectDir)"),
    "eclipse-linux": ("ec", LINUX_PROGRAM, "${project_name}", "${project_loc}"),
    "eclipse-windows": ("ec", WINDOWS_PROGRAM, "${project_name}", "${project_loc}"),
    "carbide": ("ca", WINDOWS_PROGRAM, "${project_name}", "${project_loc}"),
    "uvision": ("uv", WINDOWS_PROGRAM, "@P", "$P"),
    "codewarrior": ("cw", WINDOWS_PROGRAM, "%projectFileName", "%projectFileDir"),
}
# The second entry of the Report dialog's type list names the IDE.
UNTESTED_ENTRY = {
    "vs": "Untested report to Visual Studio", "cw": "Untested report to stdout",
    "ca": "Untested report to Carbide.c++", "ec": "Untested report to Eclipse", "uv": "Untested report to uVision",
}


class Tool:
    def __init__(self, source, name, program, arguments, directory):
        self.source, self.name = source, name
        self.program, self.arguments, self.directory = program, arguments, directory


# The arguments of Visual Studio's Tools > External Tools, as Microsoft lists
# them ("Manage external tools", learn.microsoft.com/visualstudio/ide/
# managing-external-tools; the same list as "Arguments for External Tools"
# of Visual Studio 2012).
VS_ARGUMENTS = {
    "$(ItemPath)", "$(ItemDir)", "$(ItemFilename)", "$(ItemExt)", "$(CurLine)", "$(CurCol)", "$(CurText)",
    "$(TargetPath)", "$(TargetDir)", "$(TargetName)", "$(TargetExt)", "$(BinDir)", "$(ProjectDir)",
    "$(ProjectFileName)", "$(SolutionDir)", "$(SolutionFileName)",
}
# The fields of one external tool in the settings files that Visual Studio
# 2012 to 2022 export (Tools > Import and Export Settings), each once.
VS_TOOL_FIELDS = {
    "Title", "Command", "Arguments", "InitialDirectory", "UseOutputWindow", "PromptForArguments",
    "CloseOnExit", "IsGUIapp", "SaveAllDocs", "UseTaskList", "Unicode", "Package", "NameID", "Index",
}
VS_FLAGS = {"UseOutputWindow", "PromptForArguments", "CloseOnExit", "IsGUIapp", "SaveAllDocs", "UseTaskList", "Unicode"}
VS_EXTERNAL_TOOLS = "Environment_ExternalTools"


def vssettings_tools(path):
    root = ET.parse(path).getroot()
    if root.tag != "UserSettings":
        raise ValueError("not a Visual Studio settings file (no UserSettings)")
    if root.find("ApplicationIdentity") is None:
        raise ValueError("no ApplicationIdentity")
    categories = [c for c in root.iter("Category") if c.get("name") == VS_EXTERNAL_TOOLS]
    if len(categories) != 1:
        raise ValueError("expected one %s category, found %d" % (VS_EXTERNAL_TOOLS, len(categories)))
    category = categories[0]
    if category.findall("PropertyValue"):
        raise ValueError("%s holds PropertyValue entries (the layout of Visual Studio 2010), which "
                         "exports of later versions do not have" % VS_EXTERNAL_TOOLS)
    lists = category.findall("ExternalTools")
    if len(lists) != 1:
        raise ValueError("%s holds no ExternalTools list, where Visual Studio 2012 to 2022 keep "
                         "their tools" % VS_EXTERNAL_TOOLS)
    tools, problems = [], []
    for tool in lists[0]:
        if tool.tag != "UserCreatedTool":
            problems.append("ExternalTools holds %s, not UserCreatedTool" % tool.tag)
            continue
        names = [f.tag for f in tool]
        fields = {f.tag: (f.text or "") for f in tool}
        title = fields.get("Title", "?")
        if sorted(names) != sorted(VS_TOOL_FIELDS):
            problems.append("%s: fields %s, an exported tool has %s" % (title, sorted(names), sorted(VS_TOOL_FIELDS)))
        for flag in VS_FLAGS & set(fields):
            if fields[flag] not in ("true", "false"):
                problems.append("%s: %s is %r, not true or false" % (title, flag, fields[flag]))
        if fields.get("UseOutputWindow") != "true":
            problems.append("%s: its lines do not go to the Output window" % title)
        for field in ("Command", "Arguments", "InitialDirectory"):
            for macro in re.findall(r"\$\([^)]*\)", fields.get(field, "")):
                if macro not in VS_ARGUMENTS:
                    problems.append("%s: %s uses %s, which is not an argument of External Tools" % (title, field, macro))
        tools.append(Tool(path, title, fields.get("Command"), fields.get("Arguments"), fields.get("InitialDirectory")))
    if problems:
        raise ValueError("; ".join(problems))
    return tools


def launch_tool(path):
    root = ET.parse(path).getroot()
    if root.tag != "launchConfiguration" or root.get("type") != EXTERNAL_TOOLS + "ProgramLaunchConfigurationType":
        raise ValueError("not an External Tools program launch configuration")
    attrs = {a.get("key"): a.get("value") for a in root.iter("stringAttribute")}
    return Tool(path, path.stem, attrs.get(EXTERNAL_TOOLS + "ATTR_LOCATION"),
                attrs.get(EXTERNAL_TOOLS + "ATTR_TOOL_ARGUMENTS"),
                attrs.get(EXTERNAL_TOOLS + "ATTR_WORKING_DIRECTORY"))


def ini_tools(path):
    ini = configparser.ConfigParser(interpolation=None, delimiters=("=",))
    ini.optionxform = str
    with open(path, encoding="utf-8") as f:
        ini.read_file(f)
    tools = []
    for name in ini.sections():
        s = ini[name]
        tools.append(Tool(path, name, s.get("Command", s.get("Application")), s.get("Arguments"),
                          s.get("Initial Folder", s.get("Directory"))))
    return tools


def read_tools(folder):
    tools = []
    for path in sorted(folder.iterdir()):
        if path.suffix == ".vssettings":
            tools += vssettings_tools(path)
        elif path.suffix == ".launch":
            tools.append(launch_tool(path))
        elif path.suffix == ".ini":
            tools += ini_tools(path)
    return tools


def fill(text, name_macro, dir_macro, name, directory):
    # The directory macro of uVision ($P) is a prefix of nothing else; fill
    # the name first so that a macro that holds the other is not cut.
    return text.replace(name_macro, name).replace(dir_macro, directory)


def make_root(tmp):
    root = Path(tmp)
    (root / "zebhome").mkdir()
    (root / "zebhome" / "wrapcmds.txt").write_text("wrapped\n")
    (root / "wrap").mkdir()
    (root / "keil" / "ARMCC" / "bin").mkdir(parents=True)
    (root / "keil.reg").write_text("Windows Registry Editor Version 5.00\n\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Keil\\Products\\MDK]\n"
                                   '"Path"="%s"\n' % str(root / "keil").replace("\\", "\\\\"))
    (root / PROJECT).mkdir()
    return root


def run(program, root, words, cwd, script_lines):
    script = root / "cancel.ui"
    script.write_text("\n".join(script_lines) + "\n")
    env = {"PATH": "/usr/bin:/bin", "HOME": str(root), "ZEBHOME": str(root / "zebhome"),
           "ZEBWRAPDIR": str(root / "wrap"), "VSZEB_UI": "headless", "VSZEB_SCRIPT": str(script),
           "VSZEB_REGISTRY": str(root / "keil.reg")}
    return subprocess.run([program] + words, cwd=cwd, env=env, capture_output=True, text=True, timeout=30)


def check_tool(program, tool, ide, failures):
    code, installed, name_macro, dir_macro = IDES[ide]
    where = "%s: %s" % (tool.source, tool.name)
    if tool.program != installed:
        failures.append("%s: runs %r, not the installed %r" % (where, tool.program, installed))
    if not tool.arguments or not tool.directory:
        failures.append("%s: no arguments or no working directory" % where)
        return
    words = tool.arguments.split()
    if len(words) < 2 or words[1] != code:
        failures.append("%s: arguments %r do not name the IDE code %s" % (where, tool.arguments, code))
        return
    cases = [(PROJECT, [])]
    if code == "cw":
        cases.append(("", ["messagebox \"ZEB++/CodeWarrior\" \"Please select the project to operate on.\""]))
    with tempfile.TemporaryDirectory(prefix="vszeb-ide.") as tmp:
        root = make_root(tmp)
        for name, report_without_project in cases:
            line = fill(tool.arguments, name_macro, dir_macro, name, str(root / PROJECT))
            cwd = fill(tool.directory, name_macro, dir_macro, name, str(root / PROJECT))
            if not os.path.isdir(cwd) or Path(cwd).resolve() != (root / PROJECT).resolve():
                failures.append("%s: working directory %r is not the project directory" % (where, cwd))
                continue
            if words[0] == "set":
                script = ['dialog "ZEB++ Set/Clean"', "key escape"]
            elif report_without_project:
                script = report_without_project
            else:
                entries = ["HTML report", UNTESTED_ENTRY[code], "Profile listing (textual)",
                           "Untested listing (textual)", "Timing listing (textual)", "XML report"]
                script = ['dialog "ZEB++ Report"', "expect items 1074 " + " ".join('"%s"' % e for e in entries),
                          "key escape"]
            r = run(program, root, line.split(), cwd, script)
            expected = "Working at %s\n" % cwd
            if r.returncode != 0 or r.stdout != expected:
                failures.append("%s: %r in %s gave status %d, output %r %r (expected %r)" %
                                (where, line, cwd, r.returncode, r.stdout, r.stderr, expected))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--program", required=True)
    ap.add_argument("ide", type=Path)
    args = ap.parse_args()
    failures, count = [], 0
    for ide in IDES:
        folder = args.ide / ide
        try:
            tools = read_tools(folder)
        except (OSError, ET.ParseError, configparser.Error, ValueError) as e:
            failures.append("%s: %s" % (folder, e))
            continue
        operations = sorted(t.arguments.split()[0] if t.arguments else "" for t in tools)
        if operations != ["report", "set"]:
            failures.append("%s: expected one Set and one Report definition, found %s" % (folder, operations))
        if not (folder / "README.md").is_file():
            failures.append("%s: no page of steps (README.md)" % folder)
        for tool in tools:
            check_tool(os.path.abspath(args.program), tool, ide, failures)
            count += 1
    for f in failures:
        print("FAIL " + f)
    print("ide: %d definitions, %d failures" % (count, len(failures)))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
