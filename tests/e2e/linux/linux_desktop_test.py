#!/usr/bin/env python3
"""End-to-end test of the Linux tavo_3d on a private Xvfb display.

Drives the program with xdotool and reads the screen with ImageMagick's
import, with no window manager and no compositing manager, and its settings
file in a private XDG_CONFIG_HOME. It checks what a user would see: a
400 x 360 window kept above the others that shows the figure with the root
pattern around it, walks, flees the cursor and tips over, lets a click on a
transparent pixel through, opens its menu on a click on the figure, applies
menu choices, steps frames at the chosen rate, and keeps the choices in
tavo_3d.ini (other lines kept) at the exit item, at SIGTERM and when the
window manager closes the window. It also checks the two start-up failures: no X
display, and no OpenGL context (OSMesa made to fail with a preloaded shim).

Usage: linux_desktop_test.py path/to/tavo_3d [no_osmesa_context.so [send_delete_window]]
Screenshots go to TAVO_E2E_SHOTS (default: <tmp>/shots, kept on failure).
Exit status 77 when the program or a required tool is missing.
"""

import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1280, 1024
WINDOW_W, WINDOW_H = 400, 360
FAR_CORNER = (SCREEN_W - 5, SCREEN_H - 5)
SKIP = 77


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("  ok: " + message, flush=True)


def wait_for(condition, timeout, step=0.1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return None


# --- Screen pictures ------------------------------------------------------

class Picture:
    """An RGB screenshot, 3 bytes per pixel, rows top to bottom."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @staticmethod
    def read_ppm(path):
        with open(path, "rb") as f:
            raw = f.read()
        fields = raw.split(b"\n", 3)
        if fields[0] != b"P6" or fields[2] != b"255":
            raise Failure("unexpected screenshot format " + repr(fields[:3]))
        width, height = map(int, fields[1].split())
        return Picture(width, height, fields[3][: width * height * 3])

    def differing(self, reference, rect):
        """Pixels of rect (x, y, w, h) that differ from the reference picture."""
        x, y, w, h = rect
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + w), min(self.height, y + h)
        points = []
        for row in range(y0, y1):
            start = (row * self.width + x0) * 3
            end = (row * self.width + x1) * 3
            mine, theirs = self.data[start:end], reference.data[start:end]
            if mine == theirs:
                continue
            for i in range(x1 - x0):
                if mine[i * 3: i * 3 + 3] != theirs[i * 3: i * 3 + 3]:
                    points.append((x0 + i, row))
        return points


def bounding_box(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def solid_point(points):
    """The figure pixel nearest the figure's centre whose 7 x 7 neighbourhood is all figure."""
    if len(points) < 200:
        return None
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    for p in sorted(points, key=lambda p: (p[0] - cx) ** 2 + (p[1] - cy) ** 2):
        if all((p[0] + dx, p[1] + dy) in points for dx in range(-3, 4) for dy in range(-3, 4)):
            return p
    return None


# --- The desktop ----------------------------------------------------------

class Desktop:
    """Xvfb with no window manager: either a checkered root and no compositing
    manager, or picom compositing over the plain root (it cannot use a root
    pattern set by another client)."""

    def __init__(self, workdir, shots, composited=False):
        self.workdir = workdir
        self.shots = shots
        self.composited = composited
        self.compositor = None
        self.xvfb = None
        self.display = None
        self.env = dict(os.environ)
        self.shot_count = 0
        self.reference = None

    def start(self):
        self.display = self.free_display()
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X" + self.display[1:]
        if not wait_for(lambda: os.path.exists(socket), 10, 0.05):
            raise Failure("Xvfb did not start on " + self.display)
        self.env.update({
            "DISPLAY": self.display,
            "XDG_CONFIG_HOME": os.path.join(self.workdir, "config"),
            "LANG": "C.UTF-8",
            "NO_AT_BRIDGE": "1",  # no accessibility bus to wait for
        })
        self.env.pop("WAYLAND_DISPLAY", None)
        if self.composited:
            self.compositor = subprocess.Popen(["picom", "--backend", "xrender"], env=self.env,
                                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(2.0)
            if self.compositor.poll() is not None:
                raise Failure("picom did not start")
        else:
            pattern = os.path.join(self.workdir, "root.png")
            self.run(["convert", "-size", "%dx%d" % (SCREEN_W, SCREEN_H), "pattern:checkerboard", pattern])
            self.run(["display", "-window", "root", pattern])
        self.reference = self.screenshot()

    @staticmethod
    def free_display():
        for number in range(150, 250):
            if not (os.path.exists("/tmp/.X11-unix/X%d" % number)
                    or os.path.exists("/tmp/.X%d-lock" % number)):
                return ":%d" % number
        raise Failure("no free X display number")

    def stop(self):
        if self.compositor is not None:
            self.compositor.terminate()
            self.compositor.wait(timeout=10)
            self.compositor = None
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
            self.xvfb = None

    def run(self, command, timeout=30):
        result = subprocess.run(command, env=self.env, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, timeout=timeout)
        return result.stdout.decode("utf-8", "replace")

    def xdotool(self, *args):
        return self.run(["xdotool"] + [str(a) for a in args])

    def screenshot(self):
        path = os.path.join(self.workdir, "screen.ppm")
        self.run(["import", "-window", "root", "-depth", "8", "ppm:" + path])
        return Picture.read_ppm(path)

    def keep_screenshot(self, name):
        """Saves the screen as a PNG for people to look at."""
        self.shot_count += 1
        prefix = "composited_" if self.composited else ""
        path = os.path.join(self.shots, "%s%02d_%s.png" % (prefix, self.shot_count, name))
        self.run(["import", "-window", "root", path])
        return path

    def visible_windows(self, name=None):
        """Viewable windows of the program (its class is tavo_3d), by exact name if given."""
        found = self.run(["xdotool", "search", "--onlyvisible", "--class", "^tavo_3d$"]).split()
        windows = [int(w) for w in found]
        if name is None:
            return windows
        return [w for w in windows if self.xdotool("getwindowname", w).strip() == name]

    def geometry(self, window):
        text = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        if "X" not in values:
            raise Failure("window %d is gone" % window)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


# --- The program ----------------------------------------------------------

class Mascot:
    """One run of tavo_3d."""

    def __init__(self, desktop, program, preload=None):
        self.desktop = desktop
        self.program = program
        self.preload = preload
        self.process = None
        self.log = None
        self.window = None
        self.ini = os.path.join(desktop.env["XDG_CONFIG_HOME"], "tavo_3d", "tavo_3d.ini")

    def write_settings(self, text):
        os.makedirs(os.path.dirname(self.ini), exist_ok=True)
        with open(self.ini, "w", newline="") as f:
            f.write(text)

    def settings_text(self):
        with open(self.ini, "r", newline="") as f:
            return f.read()

    def remove_settings(self):
        shutil.rmtree(os.path.dirname(self.ini), ignore_errors=True)

    def start(self):
        self.desktop.xdotool("mousemove", *FAR_CORNER)
        env = dict(self.desktop.env)
        if self.preload:
            env["LD_PRELOAD"] = self.preload
        self.log = open(os.path.join(self.desktop.workdir, "program.log"), "ab")
        self.process = subprocess.Popen([self.program], env=env, stdout=subprocess.DEVNULL,
                                        stderr=self.log)

    def wait_window(self, timeout=20):
        found = wait_for(lambda: self.desktop.visible_windows("Tavo_3D"), timeout, 0.2)
        if not found:
            raise Failure("the window Tavo_3D did not appear")
        self.window = found[0]
        return self.window

    def geometry(self):
        return self.desktop.geometry(self.window)

    def menus(self):
        """The open popup menu and submenus: every other viewable window of the program."""
        return [w for w in self.desktop.visible_windows() if w != self.window]

    def figure(self, picture, geometry):
        """Opaque pixels of the window: those that hide the root pattern."""
        x, y, w, h = geometry
        # A margin for the walk between the screenshot and the geometry.
        return picture.differing(self.desktop.reference, (x - 8, y - 8, w + 16, h + 16))

    def best_view(self, seconds):
        """The view with the most figure pixels over some seconds of turning."""
        best = ([], None)
        deadline = time.time() + seconds
        while time.time() < deadline:
            geometry = self.geometry()
            points = self.figure(self.desktop.screenshot(), geometry)
            if len(points) > len(best[0]):
                best = (points, geometry)
            time.sleep(0.2)
        return best

    def open_menu(self, button=1, attempts=40):
        """Clicks a pixel in the middle of the figure until the menu opens."""
        for _ in range(attempts):
            points = self.figure(self.desktop.screenshot(), self.geometry())
            target = solid_point(set(points))
            if target is None:
                time.sleep(0.2)
                continue
            self.desktop.xdotool("mousemove", target[0], target[1], "click", button)
            if wait_for(self.menus, 1.5):
                return target
            self.desktop.xdotool("mousemove", *FAR_CORNER)
            time.sleep(0.3)
        raise Failure("a click on the figure did not open the menu")

    def choose(self, keys):
        """Walks the open menu with keys and takes the item, then moves the cursor away."""
        self.desktop.xdotool("key", "--delay", "80", *keys)
        self.desktop.xdotool("key", "Return")
        self.desktop.xdotool("mousemove", *FAR_CORNER)

    def wait_exit(self, timeout=20):
        try:
            self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise Failure("the program did not end")
        return self.process.returncode

    def quit_from_menu(self):
        self.open_menu()
        self.choose(["Down", "Down", "Down", "Down"])  # past the separator to the exit item
        return self.wait_exit()

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.log is not None:
            self.log.close()


def settings_values(text):
    return {m.group(1): int(m.group(2)) for m in re.finditer(r"^(\w+)=(-?\d+)\s*$", text, re.M)}


# --- The checks -----------------------------------------------------------

def check_window(desktop, mascot):
    print("the window", flush=True)
    x, y, w, h = mascot.geometry()
    check((w, h) == (WINDOW_W, WINDOW_H), "the window is 400 x 360 (got %d x %d)" % (w, h))
    props = desktop.run(["xprop", "-id", str(mascot.window), "_NET_WM_STATE", "_NET_WM_WINDOW_TYPE",
                         "WM_HINTS"])
    check("_NET_WM_STATE_ABOVE" in props, "the window is kept above the others")
    check("_NET_WM_STATE_SKIP_TASKBAR" in props and "_NET_WM_STATE_SKIP_PAGER" in props,
          "it stays out of the task bar and the pager")
    check("_NET_WM_WINDOW_TYPE_UTILITY" in props, "it is a utility window")
    check(re.search(r"accepts input or input focus: False", props) is not None, "it never takes the focus")


def check_figure(desktop, mascot):
    print("the figure, with the background showing around it", flush=True)
    points, geometry = mascot.best_view(6.0)
    area = WINDOW_W * WINDOW_H
    check(len(points) >= 3000, "the figure covers %d pixels (at least 3000)" % len(points))
    check(len(points) <= area * 0.6, "the background shows around the figure (%d of %d pixels hidden)"
          % (len(points), area))
    left, top, right, bottom = bounding_box(points)
    gx, gy, _, _ = geometry
    check(gx - 8 <= left and right <= gx + WINDOW_W + 8 and gy - 8 <= top and bottom <= gy + WINDOW_H + 8,
          "the figure lies inside the window")
    desktop.keep_screenshot("mascot")
    return bottom - top


def check_walk(mascot):
    print("walking", flush=True)
    x0, y0, _, _ = mascot.geometry()
    time.sleep(2.0)
    x1, y1, _, _ = mascot.geometry()
    check(abs(x1 - x0) >= 20, "the window walks sideways (%d -> %d in 2 s)" % (x0, x1))
    check(y1 == y0, "walking keeps the height on the screen")


def check_flee(desktop, mascot, standing_height):
    print("fleeing from the cursor", flush=True)
    x0, y0, _, _ = mascot.geometry()
    heights = []
    deadline = time.time() + 3.0
    while time.time() < deadline:
        # Keep the cursor in the upper left quarter of the window.
        x, y, _, _ = mascot.geometry()
        desktop.xdotool("mousemove", x + 100, y + 90)
        time.sleep(0.05)
        points = mascot.figure(desktop.screenshot(), mascot.geometry())
        if len(points) >= 300:
            left, top, right, bottom = bounding_box(points)
            heights.append(bottom - top)
    desktop.keep_screenshot("fleeing")
    desktop.xdotool("mousemove", *FAR_CORNER)
    x1, y1, _, _ = mascot.geometry()
    check(y1 != y0, "the window leaves the cursor vertically (y %d -> %d)" % (y0, y1))
    check(x1 != x0, "and sideways (x %d -> %d)" % (x0, x1))
    check(not mascot.menus(), "the cursor over the figure opens no menu by itself")
    lowest = min(heights) if heights else 0
    check(heights and lowest < standing_height * 0.8,
          "the figure tips over while it flees (height %d of %d standing)" % (lowest, standing_height))


def check_transparent_click(desktop, mascot):
    print("a click on a transparent pixel", flush=True)
    for _ in range(20):
        geometry = mascot.geometry()
        points = set(mascot.figure(desktop.screenshot(), geometry))
        x, y, _, _ = geometry
        spot = None
        for cx in range(x + 40, x + WINDOW_W - 40, 10):
            for cy in (y + 30, y + WINDOW_H - 30):
                clear = all((cx + dx, cy + dy) not in points
                            for dx in range(-30, 31, 3) for dy in range(-30, 31, 3))
                if clear and 0 <= cx < SCREEN_W and 0 <= cy < SCREEN_H:
                    spot = (cx, cy)
                    break
            if spot:
                break
        if spot:
            desktop.xdotool("mousemove", spot[0], spot[1], "click", 1)
            time.sleep(1.0)
            opened = mascot.menus()
            desktop.xdotool("mousemove", *FAR_CORNER)
            if opened:
                desktop.keep_screenshot("menu_from_transparent_click")
                desktop.xdotool("key", "Escape")
            check(not opened, "a click on a transparent pixel at %d,%d passes through (no menu)" % spot)
            return
        time.sleep(0.3)
    raise Failure("found no transparent pixel inside the window to click")


def check_menu_and_twenty_fps(desktop, mascot):
    print("the menu and 20fps", flush=True)
    mascot.open_menu()
    check(len(mascot.menus()) == 1, "a click on the figure opens the menu")
    desktop.xdotool("key", "--delay", "80", "Down", "Right")
    if not wait_for(lambda: len(mascot.menus()) == 2, 2.0):
        raise Failure("the frame rate submenu did not open")
    time.sleep(0.3)
    desktop.keep_screenshot("menu")
    x0, y0, _, _ = mascot.geometry()
    time.sleep(1.0)
    check(mascot.geometry()[:2] == (x0, y0), "the mascot stands still while the menu is open")
    mascot.choose(["Down", "Down"])  # 10fps is selected: on to 20fps
    check(wait_for(lambda: not mascot.menus(), 2.0), "the menu closes after the choice")
    time.sleep(0.3)
    x, y, _, _ = mascot.geometry()
    check(-2 <= x <= 8 and y == 0, "the window went to the top-left corner (at %d,%d)" % (x, y))
    time.sleep(1.0)
    check(mascot.geometry()[0] > x, "and walks on after the menu closed")


def run_first_start(desktop, program):
    print("== a first start without a settings file", flush=True)
    mascot = Mascot(desktop, program)
    mascot.remove_settings()
    mascot.start()
    try:
        mascot.wait_window()
        time.sleep(1.0)
        check_window(desktop, mascot)
        standing = check_figure(desktop, mascot)
        check_walk(mascot)
        check_flee(desktop, mascot, standing)
        time.sleep(3.0)  # let it stand up again
        check_transparent_click(desktop, mascot)
        check_menu_and_twenty_fps(desktop, mascot)
        check(not os.path.exists(mascot.ini), "no settings file is written while running")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program with status 0")
        check(settings_values(mascot.settings_text()) ==
              {"FrameSpeed": 2, "EscapeSpeed": 1, "ActionSpeed": 0},
              "the exit item wrote FrameSpeed=2, EscapeSpeed=1, ActionSpeed=0 in a new directory")
    finally:
        mascot.kill()


KEPT_SETTINGS = ("; tavo_3d settings, edited by hand\n"
                 "[Window]\n"
                 "Note=kept as it is\n"
                 "\n"
                 "[Mode]\n"
                 "FrameSpeed=2\n"
                 "EscapeSpeed=3\n"
                 "ActionSpeed=1\n")


def run_settings_written_back(desktop, program):
    print("== a settings file with comments and another section", flush=True)
    mascot = Mascot(desktop, program)
    mascot.write_settings(KEPT_SETTINGS)
    mascot.start()
    try:
        mascot.wait_window()
        time.sleep(1.0)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check(mascot.settings_text() == KEPT_SETTINGS,
              "the file is written back with the same values and the extra lines kept")
    finally:
        mascot.kill()


def run_sigterm(desktop, program):
    print("== ending by SIGTERM", flush=True)
    mascot = Mascot(desktop, program)
    mascot.write_settings(KEPT_SETTINGS)
    mascot.start()
    try:
        mascot.wait_window()
        time.sleep(1.0)
        mascot.open_menu(button=3)
        check(mascot.menus(), "a right click on the figure opens the menu too")
        time.sleep(0.2)
        x_open = mascot.geometry()[0]
        time.sleep(4.0)  # 80 steps at 20 fps, which must not be made up afterwards
        mascot.choose(["Down", "Down", "Right", "Down"])  # escape speed: 捕まらないんだー
        check(wait_for(lambda: not mascot.menus(), 2.0), "an escape speed was chosen")
        x_closed = mascot.geometry()[0]
        check(abs(x_closed - x_open) <= 30,
              "no burst of steps after the menu closed (x %d -> %d)" % (x_open, x_closed))
        time.sleep(0.5)
        mascot.process.send_signal(signal.SIGTERM)
        check(mascot.wait_exit() == 0, "SIGTERM ends the program with status 0")
        check(mascot.settings_text() == KEPT_SETTINGS.replace("EscapeSpeed=3", "EscapeSpeed=2"),
              "SIGTERM wrote the settings (EscapeSpeed=2) and kept the other lines")
    finally:
        mascot.kill()


def slope(samples):
    """Least-squares change per second of (time, value) samples."""
    n = len(samples)
    mean_t = sum(t for t, _ in samples) / n
    mean_v = sum(v for _, v in samples) / n
    num = sum((t - mean_t) * (v - mean_v) for t, v in samples)
    den = sum((t - mean_t) ** 2 for t, _ in samples)
    return num / den


def run_frame_rate_and_window_manager_close(desktop, program, closer):
    print("== 15 fps, then closed by the window manager", flush=True)
    mascot = Mascot(desktop, program)
    mascot.write_settings("[Mode]\nFrameSpeed=1\n")
    mascot.start()
    try:
        mascot.wait_window()
        time.sleep(1.0)
        mascot.open_menu()
        mascot.choose(["Down", "Right", "Down"])  # 15fps again: back to (0, 0), then walking right
        time.sleep(1.0)
        samples = []
        start = time.time()
        while time.time() - start < 8.0:
            samples.append((time.time(), mascot.geometry()[0]))
            time.sleep(0.1)
        steps = slope(samples) / (20.0 / 15.0)
        print("  measured: %.2f frame steps per second at 15 fps (due: 15.15)" % steps, flush=True)
        check(abs(steps - 1000.0 / 66.0) <= 0.03 * 1000.0 / 66.0, "the steps come within 3 % of 15.15 a second")
        if closer is None:
            return
        subprocess.run([closer, str(mascot.window)], env=desktop.env, timeout=10, check=True)
        check(mascot.wait_exit() == 0, "a close request from the window manager ends the program with status 0")
        check(mascot.settings_text() == "[Mode]\nFrameSpeed=1\nEscapeSpeed=1\nActionSpeed=0\n",
              "and writes the settings")
    finally:
        mascot.kill()


def run_forbidden_escape_speed(desktop, program):
    print("== EscapeSpeed 0 in the settings file", flush=True)
    mascot = Mascot(desktop, program)
    mascot.write_settings("[Mode]\nEscapeSpeed=0\n")
    mascot.start()
    try:
        caption = "\uff01\uff01\uff01"  # ！！！
        boxes = wait_for(lambda: desktop.visible_windows(caption), 20, 0.2)
        check(boxes, "the box with the caption %s appears" % caption)
        time.sleep(0.5)
        desktop.keep_screenshot("escape_box")
        bx, by, bw, bh = desktop.geometry(boxes[0])
        check(abs(bx + bw // 2 - SCREEN_W // 2) <= 2 and abs(by + bh // 2 - SCREEN_H // 2) <= 2,
              "the box is centred on the screen")
        desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
        desktop.xdotool("mousemove", *FAR_CORNER)
        mascot.wait_window()
        time.sleep(1.5)
        check(not desktop.visible_windows(caption), "the box came once and the program runs on")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check(settings_values(mascot.settings_text()).get("EscapeSpeed") == 3,
              "EscapeSpeed is written back as 3")
    finally:
        mascot.kill()


def run_composited(desktop, program):
    print("== with a compositing manager", flush=True)
    mascot = Mascot(desktop, program)
    mascot.remove_settings()
    mascot.start()
    try:
        mascot.wait_window()
        time.sleep(1.0)
        shape = desktop.run(["xwininfo", "-shape", "-id", str(mascot.window)])
        check("No window shape defined" in shape, "the window is not cut out: the alpha is blended")
        check_figure(desktop, mascot)
        check_transparent_click(desktop, mascot)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
    finally:
        mascot.kill()


def run_without_display(program, workdir):
    print("== no X display", flush=True)
    env = dict(os.environ)
    env.pop("WAYLAND_DISPLAY", None)
    env["DISPLAY"] = ":249"  # nothing listens there
    env["XDG_CONFIG_HOME"] = os.path.join(workdir, "no_display_config")
    result = subprocess.run([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30)
    lines = result.stderr.decode("utf-8", "replace").strip().splitlines()
    check(result.returncode == 1, "the program ends with status 1 (got %d)" % result.returncode)
    check(len(lines) == 1 and "display" in lines[0], "and one line on stderr: %r" % lines)
    check(not os.path.exists(env["XDG_CONFIG_HOME"]), "no settings are written")


def run_without_opengl(desktop, program, shim):
    print("== no OpenGL context", flush=True)
    mascot = Mascot(desktop, program, preload=shim)
    mascot.remove_settings()
    mascot.start()
    try:
        boxes = wait_for(lambda: desktop.visible_windows("OpenGL"), 20, 0.2)
        check(boxes, "a box titled OpenGL tells the user")
        time.sleep(0.5)
        desktop.keep_screenshot("no_opengl_box")
        bx, by, bw, bh = desktop.geometry(boxes[0])
        desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
        desktop.xdotool("mousemove", *FAR_CORNER)
        check(mascot.wait_exit() == 1, "closing it ends the program with status 1")
        check(not os.path.exists(mascot.ini), "no settings are written")
    finally:
        mascot.kill()


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    program = os.path.abspath(sys.argv[1])
    shim = os.path.abspath(sys.argv[2]) if len(sys.argv) > 2 else None
    closer = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    if not os.access(program, os.X_OK):
        print("no program at " + program)
        return SKIP
    for tool in ("Xvfb", "xdotool", "xprop", "import", "convert", "display"):
        if shutil.which(tool) is None:
            print("missing tool: " + tool)
            return SKIP

    workdir = tempfile.mkdtemp(prefix="tavo_linux_e2e_")
    shots = os.environ.get("TAVO_E2E_SHOTS", os.path.join(workdir, "shots"))
    os.makedirs(shots, exist_ok=True)
    desktop = Desktop(workdir, shots)
    failed = False
    try:
        run_without_display(program, workdir)
        desktop.start()
        run_first_start(desktop, program)
        run_settings_written_back(desktop, program)
        run_sigterm(desktop, program)
        run_forbidden_escape_speed(desktop, program)
        run_frame_rate_and_window_manager_close(desktop, program, closer)
        if shim and os.path.exists(shim):
            run_without_opengl(desktop, program, shim)
        desktop.stop()
        if shutil.which("picom") is None:
            print("== with a compositing manager: skipped, picom is not installed", flush=True)
        else:
            desktop = Desktop(workdir, shots, composited=True)
            desktop.start()
            run_composited(desktop, program)
    except (Failure, subprocess.TimeoutExpired) as error:
        failed = True
        print("FAILED: %s" % error, flush=True)
        try:
            print("screen at the failure: " + desktop.keep_screenshot("failure"))
        except Exception:
            pass
        log = os.path.join(workdir, "program.log")
        if os.path.exists(log):
            with open(log, "rb") as f:
                print("the program's last messages:\n" + f.read()[-2000:].decode("utf-8", "replace"))
    finally:
        desktop.stop()
    if failed or "TAVO_E2E_SHOTS" in os.environ:
        print("screenshots in " + shots)
    if not failed and "TAVO_E2E_SHOTS" not in os.environ:
        shutil.rmtree(workdir, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
