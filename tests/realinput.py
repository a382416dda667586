"""Plays a scenario's `xdotool` file: the keys and clicks of a person at the
real windows of vsZEB, sent from outside through the X server (xdotool's
XTEST input), so that what happens is what the dialog manager of the back end
makes of them. One step a line; blank lines and lines that start with `#`
are ignored.

    window "CAPTION" CX CY  waits (10 s at most) for a mapped window of class
                            vsZEB with this caption, and for it to have the
                            keyboard focus; the steps below act on it. CX and
                            CY are its template's size in dialog units.
    key KEY...              xdotool key names: Tab, shift+Tab, Return, Escape,
                            space, Up, Down, alt+o, alt+space
    type "TEXT"             types the text
    click X Y               the left mouse button at the point X,Y of the
                            window in dialog units (scaled by the window's size
                            in pixels against CX and CY)
    rightclick X Y          the same with the right button
    popup                   waits (10 s at most) until a pop-up menu (a window
                            that the window manager leaves alone) is mapped
    output "TEXT"           waits (10 s at most) until the program's standard
                            output, a pipe, has shown TEXT: each line must
                            reach the IDE while the dialog is still open
    paste "TEXT"            puts TEXT on the clipboard (owned by xclip, which
                            stays until the run ends), then presses Ctrl+V
    killx                   kills the X server (the run then has one of its
                            own, see own_display); nothing reaches the
                            windows after it

A step fails with a message; the runner then ends the program.
"""

import os
import select
import shlex
import subprocess
import time

from Xlib import X, display as xdisplay
from Xlib.error import XError

WINDOW_CLASS = "vsZEB"
WAIT = 10
XDOTOOL_TIMEOUT = 20


class StepFailed(Exception):
    pass


def xdotool(*args, env=None):
    proc = subprocess.run(["xdotool", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=XDOTOOL_TIMEOUT, env=env)
    return proc.returncode, proc.stdout.decode("latin-1")


def needs_own_display(steps):
    """Steps that end the X server need one that nothing else uses."""
    return any(word == "killx" for _number, word, _args in steps)


def own_display():
    """Starts an X server for one run: (the server's process, its display name)."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    number = b""
    deadline = time.monotonic() + WAIT
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        ready, _, _ = select.select([read_end], [], [], 0.1)
        if ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        server.kill()
        server.wait()
        raise StepFailed("no X server of its own could be started for the run")
    return server, ":" + number.strip().decode()


def parse(path):
    """[(line number, word, arguments)] of an xdotool file."""
    steps = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            words = shlex.split(line)
            steps.append((number, words[0], words[1:]))
    return steps


class Player:
    """Watches the root window's children from before the program starts,
    so that no mapping of a pop-up menu is missed."""

    def __init__(self, display=None, server=None):
        """`display`: the X display's name (default: $DISPLAY); `server`: its
        process, when the run has one of its own (for killx)."""
        self.display = xdisplay.Display(display)
        self.display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()
        self.env = dict(os.environ, DISPLAY=display) if display else None
        self.server = server
        self.clipboard = None
        self.window = None
        self.size = None

    def close(self):
        if self.clipboard:
            self.clipboard.kill()
            self.clipboard.wait()
        try:
            self.display.close()
        except Exception:  # the server is gone (killx)
            pass

    def play(self, steps, alive, output=lambda: b""):
        """Runs the steps; `alive()` tells whether the program still runs,
        `output()` what it has written to standard output so far."""
        self.output = output
        for number, word, args in steps:
            try:
                handler = getattr(self, "step_" + word)
            except AttributeError:
                raise StepFailed(f"xdotool line {number}: unknown step {word!r}") from None
            try:
                handler(alive, *args)
            except StepFailed as e:
                raise StepFailed(f"xdotool line {number}: {e}") from None
            except TypeError:
                raise StepFailed(f"xdotool line {number}: wrong operands for {word}") from None

    def step_window(self, alive, caption, cx, cy):
        deadline = time.monotonic() + WAIT
        found = None
        while found is None and time.monotonic() < deadline and alive():
            found = self.find_window(caption)
            if found is None:
                time.sleep(0.05)
        if found is None:
            raise StepFailed(f'no window "{caption}" of class {WINDOW_CLASS} appeared')
        # The dialog takes the keyboard focus itself when it is shown.
        while self.display.get_input_focus().focus != found:
            if time.monotonic() > deadline or not alive():
                raise StepFailed(f'the window "{caption}" did not get the keyboard focus')
            time.sleep(0.05)
        self.window = str(found.id)
        self.size = (int(cx), int(cy))

    def find_window(self, caption):
        """The mapped top-level window of our class with this caption."""
        for w in self.display.screen().root.query_tree().children:
            try:
                if w.get_attributes().map_state != X.IsViewable:
                    continue
                names = w.get_wm_class() or ()
                if WINDOW_CLASS in names and w.get_wm_name() == caption:
                    return w
            except XError:
                continue  # gone meanwhile
        return None

    def step_key(self, alive, *keys):
        self.need_window()
        self.forget_mappings()
        xdotool("key", "--delay", "30", *keys, env=self.env)

    def step_type(self, alive, text):
        self.need_window()
        xdotool("type", "--delay", "10", "--", text, env=self.env)

    def step_click(self, alive, x, y, button="1"):
        self.need_window()
        self.forget_mappings()
        status, out = xdotool("getwindowgeometry", "--shell", self.window, env=self.env)
        geometry = dict(line.split("=", 1) for line in out.split() if "=" in line)
        if status != 0 or not {"X", "Y", "WIDTH", "HEIGHT"} <= geometry.keys():
            raise StepFailed("the window's geometry is unknown")
        px = int(geometry["X"]) + round(int(x) * int(geometry["WIDTH"]) / self.size[0])
        py = int(geometry["Y"]) + round(int(y) * int(geometry["HEIGHT"]) / self.size[1])
        xdotool("mousemove", "--sync", str(px), str(py), "click", button, env=self.env)

    def step_rightclick(self, alive, x, y):
        self.step_click(alive, x, y, "3")

    def step_popup(self, alive):
        deadline = time.monotonic() + WAIT
        while time.monotonic() < deadline and alive():
            while self.display.pending_events():
                e = self.display.next_event()
                if e.type == X.MapNotify and e.override:
                    return
            time.sleep(0.02)
        raise StepFailed("no pop-up menu appeared")

    def step_output(self, alive, text):
        deadline = time.monotonic() + WAIT
        while text.encode("latin-1") not in self.output():
            if time.monotonic() > deadline or not alive():
                raise StepFailed(f"the program's standard output did not show {text!r} while it ran")
            time.sleep(0.05)

    def step_paste(self, alive, text):
        self.need_window()
        if self.clipboard:
            self.clipboard.kill()
            self.clipboard.wait()
        # xclip serves the selection (-quiet: in the foreground) until it
        # is killed when the run ends or the next paste step replaces it.
        self.clipboard = subprocess.Popen(["xclip", "-selection", "clipboard", "-quiet"],
                                          stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL, env=self.env)
        self.clipboard.stdin.write(text.encode("utf-8").decode("unicode_escape").encode("latin-1"))
        self.clipboard.stdin.close()
        deadline = time.monotonic() + WAIT
        while not self.owns_clipboard():
            if time.monotonic() > deadline or self.clipboard.poll() is not None:
                raise StepFailed("the clipboard could not be filled")
            time.sleep(0.02)
        self.forget_mappings()
        xdotool("key", "--delay", "30", "ctrl+v", env=self.env)

    def owns_clipboard(self):
        selection = self.display.intern_atom("CLIPBOARD")
        return self.display.get_selection_owner(selection) != X.NONE

    def step_killx(self, alive):
        if self.server is None:
            raise StepFailed("killx needs an X server of the run's own")
        self.server.kill()
        self.server.wait()

    def forget_mappings(self):
        """A pop-up step waits for a menu that the next input opens."""
        while self.display.pending_events():
            self.display.next_event()

    def need_window(self):
        if self.window is None:
            raise StepFailed("no window step before it")
