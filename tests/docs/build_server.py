#!/usr/bin/env python3
"""Runs the build-server job of docs/automation.md as it stands there, two
nights in a row in the same workspace, and checks that both nights succeed
and leave the instrumentation OFF.

The job, its three UI scripts and their file names are taken from the
document itself, so that the example a user copies is the one that is
tested. Only the tool chain's place (/opt/zeb) is moved into a temporary
directory, which holds the stand-in tool chain of demo/. The project's
build is a stand-in `make` that writes MON.sym and MON.dat, as an
instrumented build and its tests would, and fails when the instrumentation
is not ON.

Usage: build_server.py --program build/linux/vsZEB --doc docs/automation.md --demo demo
"""

import argparse
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
from pathlib import Path

TOOL_HOME = "/opt/zeb"
NIGHT_TIMEOUT = 120

FAKE_MAKE = """#!/bin/sh
# Stand-in for the project's build and tests: an instrumented build writes
# the symbol file, its test runs the data file.
echo "make $*"
[ -e "$ZEBWRAPDIR/zeb.exe" ] || {{ echo "make: the instrumentation is OFF" >&2; exit 2; }}
cp "{demo}/project/MON.sym" "{demo}/project/MON.dat" .
"""


def extract(doc):
    """The section "A build server": the UI scripts by their file names
    (a line "`ci/NAME.ui`: ..." before an indented block) and the job (the
    block after "The job:")."""
    text = Path(doc).read_text(encoding="utf-8")
    start = text.find("\n## A build server\n")
    if start < 0:
        sys.exit(f"{doc}: no section \"A build server\"")
    end = text.find("\n## ", start + 1)
    lines = text[start:end if end > 0 else len(text)].split("\n")
    files, job, name = {}, None, None
    i = 0
    while i < len(lines):
        line = lines[i]
        m = re.match(r"^`(ci/[^`]+\.ui)`:", line)
        if m:
            name = m.group(1)
        elif line.strip() == "The job:":
            name = "job"
        elif line.startswith("    ") and name:
            block = []
            while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
                block.append(lines[i][4:])
                i += 1
            body = "\n".join(block).strip("\n") + "\n"
            if name == "job":
                job = body
            else:
                files[name] = body
            name = None
            continue
        i += 1
    if job is None or len(files) < 3:
        sys.exit(f"{doc}: expected the job and three UI scripts, found {sorted(files)}"
                 f"{' and the job' if job else ''}")
    return files, job


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--doc", required=True)
    ap.add_argument("--demo", required=True)
    args = ap.parse_args()
    demo = Path(args.demo).resolve()
    files, job = extract(args.doc)

    with tempfile.TemporaryDirectory(prefix="vszeb-buildserver.") as tmp:
        tmp = Path(tmp)
        home = tmp / "opt-zeb"
        shutil.copytree(demo / "zebhome", home)
        shutil.copytree(demo / "bin", home / "bin")
        (home / "wrap").mkdir()
        bin_dir = tmp / "bin"
        bin_dir.mkdir()
        os.symlink(Path(args.program).resolve(), bin_dir / "vsZEB")
        make = bin_dir / "make"
        make.write_text(FAKE_MAKE.format(demo=demo))
        make.chmod(make.stat().st_mode | stat.S_IXUSR)

        workspace = tmp / "workspace"
        (workspace / "Demo").mkdir(parents=True)
        for name, body in files.items():
            (workspace / name).parent.mkdir(parents=True, exist_ok=True)
            (workspace / name).write_text(body)
        job_file = tmp / "job.sh"
        job_file.write_text(job.replace(TOOL_HOME, str(home)))

        env = {"PATH": f"{bin_dir}:/usr/bin:/bin", "HOME": str(tmp), "WORKSPACE": str(workspace)}
        failed = False
        for night in (1, 2):
            run = subprocess.run(["/bin/sh", str(job_file)], env=env, stdin=subprocess.DEVNULL,
                                 capture_output=True, text=True, timeout=NIGHT_TIMEOUT)
            marker = home / "wrap" / "zeb.exe"
            report = workspace / "Demo" / "ZEBHTML" / "index.html"
            problems = []
            if run.returncode != 0:
                problems.append(f"the job ended with status {run.returncode}")
            if marker.exists():
                problems.append("the instrumentation was left ON")
            if not report.exists():
                problems.append("no HTML report")
            if problems:
                failed = True
                print(f"night {night}: " + "; ".join(problems))
                print(f"--- standard output\n{run.stdout}--- standard error\n{run.stderr}---")
            else:
                print(f"night {night}: ok")
            if report.exists():
                report.unlink()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
