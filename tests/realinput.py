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

A step fails with a message; the runner then ends the program.
"""

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


def xdotool(*args):
    proc = subprocess.run(["xdotool", *args], stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=XDOTOOL_TIMEOUT)
    return proc.returncode, proc.stdout.decode("latin-1")


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

    def __init__(self):
        self.display = xdisplay.Display()
        self.display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()
        self.window = None
        self.size = None

    def close(self):
        self.display.close()

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
        xdotool("key", "--delay", "30", *keys)

    def step_type(self, alive, text):
        self.need_window()
        xdotool("type", "--delay", "10", "--", text)

    def step_click(self, alive, x, y, button="1"):
        self.need_window()
        self.forget_mappings()
        status, out = xdotool("getwindowgeometry", "--shell", self.window)
        geometry = dict(line.split("=", 1) for line in out.split() if "=" in line)
        if status != 0 or not {"X", "Y", "WIDTH", "HEIGHT"} <= geometry.keys():
            raise StepFailed("the window's geometry is unknown")
        px = int(geometry["X"]) + round(int(x) * int(geometry["WIDTH"]) / self.size[0])
        py = int(geometry["Y"]) + round(int(y) * int(geometry["HEIGHT"]) / self.size[1])
        xdotool("mousemove", "--sync", str(px), str(py), "click", button)

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

    def forget_mappings(self):
        """A pop-up step waits for a menu that the next input opens."""
        while self.display.pending_events():
            self.display.next_event()

    def need_window(self):
        if self.window is None:
            raise StepFailed("no window step before it")
