"""Several monitors for the desktop tests: Xorg with the dummy video driver
in place of Xvfb (Xvfb cannot put monitors side by side), and xrandr to add,
move and remove the second monitor while the program runs.

A test mixes DummyMonitors into its Desktop class; the first monitor
(DUMMY0, 1280 x 1024) is the primary, the second (DUMMY1) is 1024 x 768.
"""

import os
import shutil
import subprocess
import time

from desktop_harness import SCREEN_H, SCREEN_W, WINDOW_W, Failure, check, wait_for

FAR_CORNER = (SCREEN_W - 5, SCREEN_H - 5)

CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "monitors", "dummy.conf")
SECOND_W, SECOND_H = 1024, 768


def missing_monitor_tools():
    """Why the monitor tests cannot run here, or None."""
    if os.geteuid() != 0:
        return "Xorg with the dummy driver needs root"
    for tool in ("Xorg", "xrandr"):
        if shutil.which(tool) is None:
            return tool + " is not installed"
    if not os.path.exists("/usr/lib/xorg/modules/drivers/dummy_drv.so"):
        return "the dummy video driver is not installed"
    return None


class DummyMonitors:
    """Mixed into a Screen subclass: start_xvfb starts Xorg instead."""

    def start_xvfb(self):
        self.display = self.free_display()
        log = os.path.join(self.workdir, "xorg%s.log" % self.display[1:])
        self.xvfb = subprocess.Popen(
            ["Xorg", self.display, "-config", CONFIG, "-noreset", "-nolisten", "tcp", "-logfile", log,
             "vt7", "-sharevts", "-novtswitch"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X" + self.display[1:]
        if not wait_for(lambda: os.path.exists(socket), 20, 0.1):
            raise Failure("Xorg did not start on " + self.display)
        self.env["DISPLAY"] = self.display
        time.sleep(1.0)
        self.xrandr("--output", "DUMMY0", "--primary")

    def xrandr(self, *args):
        result = subprocess.run(["xrandr"] + list(args), env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, timeout=30)
        if result.returncode != 0:
            raise Failure("xrandr %s: %s" % (" ".join(args), result.stderr.decode("utf-8", "replace").strip()))
        return result.stdout.decode("utf-8", "replace")

    def place_second_monitor(self, relation):
        """Turns DUMMY1 on (or moves it) --right-of, --left-of or --below DUMMY0."""
        mode = "%dx%d" % (SECOND_W, SECOND_H)
        if mode not in self.xrandr("-q").split("DUMMY1")[1].split("DUMMY2")[0]:
            self.xrandr("--addmode", "DUMMY1", mode)
        self.xrandr("--output", "DUMMY1", "--mode", mode, relation, "DUMMY0")
        self.xrandr("-q")  # GDK misses an output first turned on without it
        time.sleep(0.5)

    def remove_second_monitor(self):
        self.xrandr("--output", "DUMMY1", "--off")

    def monitors(self):
        """(x, y, w, h) of every monitor turned on, as xrandr lists them."""
        found = []
        for line in self.xrandr("--listmonitors").splitlines()[1:]:
            geometry = line.split()[2]  # 1280/339x1024/271+0+0
            size, x, y = geometry.split("+")
            w, h = (int(part.split("/")[0]) for part in size.split("x"))
            found.append((int(x), int(y), w, h))
        return found


# The height the fleeing window is held at: inside both monitors (the second
# is 768 high), so that its row always reaches across them.
FLIGHT_Y = 200


def flee_sideways(desktop, mascot, rightwards, stop, seconds=30.0):
    """Keeps the cursor in the window's left (right) half, so that the mascot
    flees right (left), above its middle while it is higher than FLIGHT_Y
    (it flees down) and below it otherwise, so that it keeps to that height.
    Gives the window's x positions seen, up to the first for which stop(xs)
    holds."""
    xs = []
    deadline = time.time() + seconds
    while time.time() < deadline:
        x, y, _, _ = mascot.geometry()
        xs.append(x)
        if stop(xs):
            return xs
        upper = y < FLIGHT_Y
        desktop.xdotool("mousemove", x + (100 if rightwards else 300), y + (100 if upper else 260))
        time.sleep(0.04)
    raise Failure("fleeing %s, the window never got there (last x: %s)" % ("right" if rightwards else "left", xs[-5:]))


def jumped(xs, rightwards):
    """The last move went against the flight by more than a window: a wrap."""
    return len(xs) > 1 and ((xs[-2] - xs[-1]) if rightwards else (xs[-1] - xs[-2])) > 400


def check_monitor_walk(desktop, mascot, second_x, primary_right):
    """Flees right onto the second monitor (right of the primary), on past
    its outer edge round to the primary's left edge, then back onto it and
    removes it under the mascot."""
    xs = flee_sideways(desktop, mascot, True, lambda xs: xs[-1] >= second_x + 50 or jumped(xs, True))
    check(not jumped(xs, True) and xs[-1] >= second_x + 50,
          "the mascot flees across the edge onto the second monitor (x %d -> %d)" % (xs[0], xs[-1]))
    desktop.keep_screenshot("second_monitor")
    xs = flee_sideways(desktop, mascot, True, lambda xs: jumped(xs, True))
    check(xs[-1] <= 2 and xs[-2] > primary_right, "past the outer edge it wraps round to x 0 (%d -> %d)"
          % (xs[-2], xs[-1]))
    flee_sideways(desktop, mascot, True, lambda xs: xs[-1] >= second_x + 100 and not jumped(xs, True))
    desktop.xdotool("mousemove", *FAR_CORNER)
    time.sleep(0.5)
    desktop.remove_second_monitor()
    removed = time.time()
    back = wait_for(lambda: mascot.geometry()[0] + WINDOW_W <= primary_right + 2, 5.0, 0.05)
    seconds = time.time() - removed
    check(back and seconds < 1.5, "with its monitor gone it shows on the primary within %.1f s" % seconds)
    desktop.keep_screenshot("second_monitor_removed")


def check_monitors(desktop, mascot):
    """With the mascot running on the primary: a second monitor on the right
    (crossing, wrapping, removal under the mascot), then on the left."""
    desktop.place_second_monitor("--right-of")
    time.sleep(1.0)
    check_monitor_walk(desktop, mascot, 1280, 1280)

    # The second monitor comes back on the left: X puts it at 0 and the
    # primary at 1024.
    desktop.place_second_monitor("--left-of")
    time.sleep(1.0)
    check(sorted(desktop.monitors()) == [(0, 0, SECOND_W, SECOND_H), (SECOND_W, 0, 1280, 1024)],
          "xrandr moved the monitors: %s" % desktop.monitors())
    xs = flee_sideways(desktop, mascot, False, lambda xs: xs[-1] <= SECOND_W - WINDOW_W - 50 or jumped(xs, False))
    check(not jumped(xs, False), "fleeing left it crosses onto the monitor on the left (x %d -> %d)"
          % (xs[0], xs[-1]))
    xs = flee_sideways(desktop, mascot, False, lambda xs: jumped(xs, False))
    check(xs[-1] == SECOND_W + 1280 - WINDOW_W,
          "past its outer edge it wraps round to the primary's right edge (x %d)" % xs[-1])
    desktop.keep_screenshot("left_monitor_wrap")


# The サイズ submenu, fourth from the bottom of the menu, opened on its first
# item (50%); each Down goes one size up.
SIZE_KEYS = ["Up", "Up", "Up", "Up", "Right"]


def check_size_from_menu(desktop, mascot):
    """サイズ from the menu: 200% doubles the window, and the figure is drawn
    at that resolution (four times the pixels); 50% halves it. On the
    primary alone, where the root still looks as it did when the screen was
    first taken."""
    desktop.remove_second_monitor()
    time.sleep(1.5)
    normal = len(mascot.best_view(3.0)[0])
    mascot.open_menu()
    mascot.choose(SIZE_KEYS + ["Down"] * 4)
    large = wait_for(lambda: mascot.geometry()[2:] == (800, 720), 3.0)
    check(large, "200%%: the window is 800 x 720 (got %d x %d)" % tuple(mascot.geometry()[2:]))
    points = len(mascot.best_view(3.0)[0])
    check(3.0 * normal < points < 5.0 * normal,
          "and the figure four times the pixels (%d against %d at 100%%)" % (points, normal))
    desktop.keep_screenshot("size_200")
    mascot.open_menu()
    mascot.choose(SIZE_KEYS)
    small = wait_for(lambda: mascot.geometry()[2:] == (200, 180), 3.0)
    check(small, "50%%: the window is 200 x 180 (got %d x %d)" % tuple(mascot.geometry()[2:]))
    desktop.keep_screenshot("size_50")
