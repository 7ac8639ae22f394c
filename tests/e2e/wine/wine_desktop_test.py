#!/usr/bin/env python3
"""End-to-end test of tavo_3d.exe under Wine on a private Xvfb display.

Drives the program with xdotool, reads the screen with ImageMagick's import
and the settings file beside the copied executable, and checks what a user
would see: a 400 x 360 topmost window that shows the figure on a transparent
background, walks, flees the cursor and tips over, opens its menu on a click
on the figure (not on a transparent pixel), applies menu choices, and keeps
the choices in tavo_3d.ini. It also measures the frame steps per second at
15 fps from the walking speed.

Before that it runs tavo_win32_shell_checks.exe from beside the executable:
the shell's surface, GL context, menu, settings file and layered-window
table checked against the real API.

Usage: wine_desktop_test.py [path/to/tavo_3d.exe]   (or TAVO_WIN_EXE)
Screenshots go to TAVO_E2E_SHOTS (default: <tmp>/shots, kept on failure).
Exit status 77 when the executable or a required tool is missing.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1280, 1024
WINDOW_W, WINDOW_H = 400, 360
FAR_CORNER = (SCREEN_W - 10, SCREEN_H - 10)
SKIP = 77


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("  ok: " + message, flush=True)


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

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return self.data[at: at + 3]

    def differing(self, reference, rect):
        """Pixels of rect (x, y, w, h) that differ from the reference picture."""
        x0, y0, w, h = clip(rect)
        points = []
        for y in range(y0, y0 + h):
            row = (y * self.width + x0) * 3
            mine = self.data[row: row + w * 3]
            theirs = reference.data[row: row + w * 3]
            if mine == theirs:
                continue
            for i in range(w):
                if mine[i * 3: i * 3 + 3] != theirs[i * 3: i * 3 + 3]:
                    points.append((x0 + i, y))
        return points


def clip(rect):
    x, y, w, h = rect
    x0, y0 = max(0, x), max(0, y)
    x1, y1 = min(SCREEN_W, x + w), min(SCREEN_H, y + h)
    return x0, y0, max(0, x1 - x0), max(0, y1 - y0)


def bounding_box(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return min(xs), min(ys), max(xs), max(ys)


# --- The desktop ----------------------------------------------------------

class Desktop:
    """Xvfb with a checkered root, Wine in a fresh prefix, and the tools."""

    def __init__(self, workdir, shots):
        self.workdir = workdir
        self.shots = shots
        self.xvfb = None
        self.display = None
        self.env = dict(os.environ)
        self.shot_count = 0

    def start(self):
        self.display = self.free_display()
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X" + self.display[1:]
        for _ in range(100):
            if os.path.exists(socket):
                break
            time.sleep(0.05)
        self.env.update({
            "DISPLAY": self.display,
            "WINEPREFIX": os.path.join(self.workdir, "prefix"),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": "ja_JP.UTF-8",
            "LC_ALL": "ja_JP.UTF-8",
        })
        # A checkerboard root: transparent pixels show it, opaque ones hide it.
        pattern = os.path.join(self.workdir, "root.png")
        self.run(["convert", "-size", "%dx%d" % (SCREEN_W, SCREEN_H), "pattern:checkerboard", pattern])
        self.run(["display", "-window", "root", pattern])
        self.run(["wineboot", "-i"], timeout=120)
        self.run(["wineserver", "-w"], timeout=120)
        self.reference = self.screenshot()

    @staticmethod
    def free_display():
        for number in range(87, 200):
            if not (os.path.exists("/tmp/.X11-unix/X%d" % number)
                    or os.path.exists("/tmp/.X%d-lock" % number)):
                return ":%d" % number
        raise Failure("no free X display number")

    def stop(self):
        if self.display is not None:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
        if self.xvfb is not None:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()

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
        path = os.path.join(self.shots, "%02d_%s.png" % (self.shot_count, name))
        self.run(["import", "-window", "root", path])
        return path

    def windows(self):
        """Top-level windows as (id, name, class, x, y, w, h), 1 x 1 helpers left out."""
        found = []
        line = re.compile(r'^\s+(0x[0-9a-f]+) (?:"(.*)"|\(has no name\)): \((.*)\)\s+'
                          r'(\d+)x(\d+)\+(-?\d+)\+(-?\d+)')
        for text in self.run(["xwininfo", "-root", "-children"]).splitlines():
            m = line.match(text)
            if m and (m.group(4), m.group(5)) != ("1", "1"):
                found.append((int(m.group(1), 16), m.group(2) or "", m.group(3),
                              int(m.group(6)), int(m.group(7)), int(m.group(4)), int(m.group(5))))
        return found

    def program_windows(self, name=None):
        return [w for w in self.windows() if "tavo_3d.exe" in w[2] and (name is None or w[1] == name)]

    def menus(self):
        """Unnamed windows of the program: its popup menu and submenus."""
        return [w for w in self.program_windows() if w[1] == ""]


# --- The program ----------------------------------------------------------

class Mascot:
    """One run of tavo_3d.exe from its own folder."""

    def __init__(self, desktop, exe, folder):
        self.desktop = desktop
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.exe = os.path.join(folder, "tavo_3d.exe")
        shutil.copy(exe, self.exe)
        self.ini = os.path.join(folder, "tavo_3d.ini")
        self.process = None
        self.window = None

    def write_settings(self, **values):
        with open(self.ini, "w", newline="") as f:
            f.write("[Mode]\r\n")
            for key, value in values.items():
                f.write("%s=%s\r\n" % (key, value))

    def settings(self):
        with open(self.ini, "rb") as f:
            text = f.read().decode("ascii", "replace")
        return {m.group(1): int(m.group(2)) for m in re.finditer(r"(\w+)=(-?\d+)", text)}

    def start(self):
        self.desktop.xdotool("mousemove", *FAR_CORNER)
        self.process = subprocess.Popen(["wine", self.exe], cwd=self.folder, env=self.desktop.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def wait_window(self, timeout=40):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.desktop.program_windows("Tavo_3D")
            if found:
                self.window = found[0][0]
                return self.window
            time.sleep(0.2)
        raise Failure("the window Tavo_3D did not appear")

    def geometry(self):
        text = self.desktop.xdotool("getwindowgeometry", "--shell", self.window)
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def figure(self, picture, geometry):
        """Opaque pixels of the window: those that hide the root pattern."""
        x, y, w, h = geometry
        # A margin for the walk between the screenshot and the geometry.
        return picture.differing(self.desktop.reference, (x - 8, y - 8, w + 16, h + 16))

    def best_view(self, seconds):
        """The view with the most figure pixels over some seconds of turning."""
        best = ([], None, None)
        deadline = time.time() + seconds
        while time.time() < deadline:
            before = self.geometry()
            picture = self.desktop.screenshot()
            points = self.figure(picture, before)
            if len(points) > len(best[0]):
                best = (points, picture, before)
            time.sleep(0.25)
        return best

    def open_menu(self, attempts=30, button=1):
        """Clicks a pixel in the middle of the figure until the menu opens."""
        for _ in range(attempts):
            points = self.figure(self.desktop.screenshot(), self.geometry())
            target = solid_point(set(points))
            if target is None:
                time.sleep(0.2)
                continue
            self.desktop.xdotool("mousemove", target[0], target[1], "click", button)
            if wait_for(lambda: self.desktop.menus(), 2.0):
                return target
            self.desktop.xdotool("mousemove", *FAR_CORNER)
            time.sleep(0.3)
        raise Failure("a click on the figure did not open the menu")

    def choose(self, keys):
        """Walks the open menu with keys, then moves the cursor out of the way."""
        self.desktop.xdotool("key", *keys)
        self.desktop.xdotool("key", "Return", "mousemove", *FAR_CORNER)

    def quit(self):
        self.open_menu()
        self.choose(["Down", "Down", "Down", "Down"])  # past the separator to the exit item
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("the exit item did not end the program")
        self.desktop.run(["wineserver", "-w"], timeout=60)


def solid_point(points):
    """The figure pixel nearest the centre whose 7 x 7 neighbourhood is all figure."""
    if len(points) < 200:
        return None
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    for p in sorted(points, key=lambda p: (p[0] - cx) ** 2 + (p[1] - cy) ** 2):
        if all((p[0] + dx, p[1] + dy) in points for dx in range(-3, 4) for dy in range(-3, 4)):
            return p
    return None


def wait_for(condition, timeout, step=0.1):
    deadline = time.time() + timeout
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(step)
    return None


def slope(samples):
    """Least-squares pixels per second of (time, x) samples."""
    n = len(samples)
    mt = sum(t for t, _ in samples) / n
    mx = sum(x for _, x in samples) / n
    num = sum((t - mt) * (x - mx) for t, x in samples)
    den = sum((t - mt) ** 2 for t, _ in samples)
    return num / den


# --- The checks -----------------------------------------------------------

def check_window_and_figure(desktop, mascot):
    print("window, figure and transparency", flush=True)
    x, y, w, h = mascot.geometry()
    check((w, h) == (WINDOW_W, WINDOW_H), "the window is 400 x 360 (got %d x %d)" % (w, h))
    state = desktop.run(["xprop", "-id", str(mascot.window), "_NET_WM_STATE"])
    check("_NET_WM_STATE_ABOVE" in state, "the window is kept above the others")
    points, picture, geometry = mascot.best_view(8.0)
    area = WINDOW_W * WINDOW_H
    check(len(points) >= 3000, "the figure covers %d pixels (at least 3000)" % len(points))
    check(len(points) <= area * 0.8, "the root pattern shows through the rest of the window")
    left, top, right, bottom = bounding_box(points)
    gx, gy, _, _ = geometry
    check(gx - 8 <= left and right <= gx + WINDOW_W + 8 and gy - 8 <= top and bottom <= gy + WINDOW_H + 8,
          "the figure lies inside the window")
    desktop.keep_screenshot("window")
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
                if all((cx + dx, cy + dy) not in points for dx in range(-30, 31, 3)
                       for dy in range(-30, 31, 3)) and 0 <= cx < SCREEN_W and 0 <= cy < SCREEN_H:
                    spot = (cx, cy)
                    break
            if spot:
                break
        if spot:
            desktop.xdotool("mousemove", spot[0], spot[1], "click", 1)
            time.sleep(1.5)
            opened = desktop.menus()
            desktop.xdotool("mousemove", *FAR_CORNER)
            if opened:
                desktop.keep_screenshot("menu_from_transparent_click")
                desktop.xdotool("key", "Escape")
            check(not opened, "a click on a transparent pixel at %d,%d opens no menu" % spot)
            return
        time.sleep(0.3)
    raise Failure("found no transparent pixel inside the window to click")


def measure_frame_rate(desktop, mascot):
    print("frame steps per second at 15 fps", flush=True)
    mascot.open_menu()
    desktop.keep_screenshot("menu")
    mascot.choose(["Down", "Right", "Down"])  # frame rate, 15fps
    time.sleep(1.0)  # from (0, 0) the walk turns right at once and goes on for 40 s
    samples = []
    start = time.time()
    while time.time() - start < 10.0:
        x, _, _, _ = mascot.geometry()
        samples.append((time.time(), x))
        time.sleep(0.1)
    walk_step = 20.0 / 15.0
    steps = slope(samples) / walk_step
    print("  measured: %.2f frame steps per second at FrameSpeed 1 (target 15.15)" % steps, flush=True)
    check(abs(steps - 1000.0 / 66.0) <= 0.02 * 1000.0 / 66.0, "within 2 % of 15.15")


def check_twenty_fps_goes_home(desktop, mascot):
    print("choosing 20fps from a menu opened with the right button", flush=True)
    mascot.open_menu(button=3)
    desktop.xdotool("key", "Down", "Right")
    time.sleep(0.3)
    desktop.keep_screenshot("frame_rate_menu")
    mascot.choose(["Down", "Down"])
    time.sleep(0.25)
    x, y, _, _ = mascot.geometry()
    check(0 <= x <= 8 and y == 0, "the window went to the top-left corner (at %d,%d)" % (x, y))


SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "glu32.dll", "winmm.dll",
               "msvcrt.dll", "advapi32.dll", "shell32.dll", "ole32.dll"}


def check_imports(exe):
    """The exe is self-contained: it imports system DLLs only."""
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    if objdump is None:
        return
    print("== imports", flush=True)
    text = subprocess.run([objdump, "-p", exe], stdout=subprocess.PIPE, timeout=60).stdout.decode()
    dlls = sorted(set(m.lower() for m in re.findall(r"DLL Name: (\S+)", text)))
    print("  " + " ".join(dlls), flush=True)
    check(dlls and all(d in SYSTEM_DLLS for d in dlls), "only system DLLs are imported")


def run_shell_checks(desktop, exe, workdir):
    """The shell's checks against the real API (built beside the exe)."""
    checks = os.path.join(os.path.dirname(exe), "tavo_win32_shell_checks.exe")
    print("== Win32 shell checks", flush=True)
    if not os.path.isfile(checks):
        print("  not built beside the executable: skipped", flush=True)
        return
    folder = os.path.join(workdir, "checks")
    os.makedirs(folder)
    shutil.copy(checks, folder)
    result = subprocess.run(["wine", os.path.join(folder, "tavo_win32_shell_checks.exe")], cwd=folder,
                            env=desktop.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60)
    output = result.stdout.decode("utf-8", "replace").strip()
    for line in output.splitlines():
        print("  " + line, flush=True)
    check(result.returncode == 0, "surface, GL context, menu, settings file and layered-window table")


def run_default_settings(desktop, exe, workdir):
    print("== a first start without a settings file", flush=True)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "first"))
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    standing = check_window_and_figure(desktop, mascot)
    check_walk(mascot)
    check_flee(desktop, mascot, standing)
    time.sleep(3.0)  # let it stand up again
    check_transparent_click(desktop, mascot)
    measure_frame_rate(desktop, mascot)
    check_twenty_fps_goes_home(desktop, mascot)
    check(not os.path.exists(mascot.ini), "no settings file is written while running")
    mascot.quit()
    check(mascot.settings() == {"FrameSpeed": 2, "EscapeSpeed": 1, "ActionSpeed": 0},
          "the exit item wrote FrameSpeed=2, EscapeSpeed=1, ActionSpeed=0")


def run_out_of_range_frame_speed(desktop, exe, workdir):
    print("== FrameSpeed 9 in the settings file", flush=True)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "frame9"))
    mascot.write_settings(FrameSpeed=9, EscapeSpeed=2, ActionSpeed=1)
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    mascot.quit()
    check(mascot.settings() == {"FrameSpeed": 0, "EscapeSpeed": 2, "ActionSpeed": 1},
          "FrameSpeed 9 is written back as 0, the others unchanged")


def run_forbidden_escape_speed(desktop, exe, workdir):
    print("== EscapeSpeed 0 in the settings file", flush=True)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "escape0"))
    mascot.write_settings(EscapeSpeed=0)
    mascot.start()
    boxes = wait_for(lambda: desktop.program_windows("\uff01\uff01\uff01"), 40)  # ！！！
    check(boxes, "the box with the caption \uff01\uff01\uff01 appears")
    desktop.keep_screenshot("escape_box")
    _, _, _, bx, by, bw, bh = boxes[0]
    desktop.xdotool("mousemove", bx + bw // 2, by + bh - 20, "click", 1, "mousemove", *FAR_CORNER)
    mascot.wait_window()
    time.sleep(2.0)
    check(not desktop.program_windows("\uff01\uff01\uff01"), "the box came once and the program runs on")
    mascot.quit()
    check(mascot.settings().get("EscapeSpeed") == 3, "EscapeSpeed is written back as 3")


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_exe = os.path.join(here, "..", "..", "..", "build", "mingw", "src", "shell", "win32", "tavo_3d.exe")
    exe = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.environ.get("TAVO_WIN_EXE", default_exe))
    if not os.path.isfile(exe):
        print("no executable at " + exe + ": build the mingw preset first")
        return SKIP
    for tool in ("Xvfb", "wine", "wineserver", "xdotool", "xwininfo", "xprop", "import", "convert", "display"):
        if shutil.which(tool) is None:
            print("missing tool: " + tool)
            return SKIP

    workdir = tempfile.mkdtemp(prefix="tavo_wine_e2e_")
    shots = os.environ.get("TAVO_E2E_SHOTS", os.path.join(workdir, "shots"))
    os.makedirs(shots, exist_ok=True)
    desktop = Desktop(workdir, shots)
    failed = False
    try:
        check_imports(exe)
        desktop.start()
        run_shell_checks(desktop, exe, workdir)
        run_default_settings(desktop, exe, workdir)
        run_out_of_range_frame_speed(desktop, exe, workdir)
        run_forbidden_escape_speed(desktop, exe, workdir)
    except (Failure, subprocess.TimeoutExpired) as error:
        failed = True
        print("FAILED: %s" % error, flush=True)
        try:
            print("screen at the failure: " + desktop.keep_screenshot("failure"))
        except Exception:
            pass
    finally:
        desktop.stop()
    if failed or "TAVO_E2E_SHOTS" in os.environ:
        print("screenshots in " + shots)
    if not failed and "TAVO_E2E_SHOTS" not in os.environ:
        shutil.rmtree(workdir, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
