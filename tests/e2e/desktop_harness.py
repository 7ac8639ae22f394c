"""What the desktop end-to-end tests share: a private Xvfb display with a
checkered root, screenshots and the pixels that hide the root, xdotool, and
the checks of the figure that are the same on every platform.

A test module subclasses Screen (its environment and extra programs) and
FigureWindow (how it starts and finds the program), then hands its steps to
run_suite.
"""

import os
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

SCREEN_W, SCREEN_H = 1280, 1024
WINDOW_W, WINDOW_H = 400, 360
SKIP = 77

# Keys that select the last items of the top-level menu from the bottom: the
# first Up in a fresh menu selects its last item, and separators are
# skipped, so items added above these do not change them.
EXIT_KEYS = ["Up"]
START_AT_LOGIN_KEYS = ["Up", "Up"]
START_AT_LOGIN_CAPTION = "\u30ed\u30b0\u30a4\u30f3\u6642\u306b\u8d77\u52d5"  # ログイン時に起動


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


def slope(samples):
    """Least-squares change per second of (time, value) samples."""
    n = len(samples)
    mean_t = sum(t for t, _ in samples) / n
    mean_v = sum(v for _, v in samples) / n
    num = sum((t - mean_t) * (v - mean_v) for t, v in samples)
    den = sum((t - mean_t) ** 2 for t, _ in samples)
    return num / den


def check_step_pace(steps):
    """Reports frame steps per second against the 2 % target for 15.15 (one
    step every 66 ms); only a pace far off (a broken clock, not a busy
    machine) fails."""
    due = 1000.0 / 66.0
    print("  %s the 2 %% target" % ("within" if abs(steps - due) <= 0.02 * due else "OUTSIDE"), flush=True)
    check(0.6 * due <= steps <= 1.25 * due, "the steps keep the 15 fps pace (%.2f a second)" % steps)


def missing_tool(tools):
    """The first of the tools that is not on the PATH (reported), else None."""
    for tool in tools:
        if shutil.which(tool) is None:
            print("missing tool: " + tool)
            return tool
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
        """Pixels of rect (x, y, w, h), clipped to the picture, that differ from the reference."""
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


# --- The display ----------------------------------------------------------

class Screen:
    """Xvfb on a free display number with no window manager, and the tools
    that drive and read it. `env` is the environment of every program run on
    it; `reference` the screen without the program."""

    def __init__(self, workdir, shots, display_numbers, shot_prefix=""):
        self.workdir = workdir
        self.shots = shots
        self.display_numbers = display_numbers
        self.shot_prefix = shot_prefix
        self.xvfb = None
        self.display = None
        self.env = dict(os.environ)
        self.shot_count = 0
        self.reference = None

    def start_xvfb(self):
        self.display = self.free_display()
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", "%dx%dx24" % (SCREEN_W, SCREEN_H),
             "-nolisten", "tcp", "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = "/tmp/.X11-unix/X" + self.display[1:]
        if not wait_for(lambda: os.path.exists(socket), 10, 0.05):
            raise Failure("Xvfb did not start on " + self.display)
        self.env["DISPLAY"] = self.display

    def free_display(self):
        for number in self.display_numbers:
            if not (os.path.exists("/tmp/.X11-unix/X%d" % number)
                    or os.path.exists("/tmp/.X%d-lock" % number)):
                return ":%d" % number
        raise Failure("no free X display number")

    def show_checkered_root(self):
        """A checkerboard root: transparent pixels show it, opaque ones hide it."""
        pattern = os.path.join(self.workdir, "root.png")
        self.run(["convert", "-size", "%dx%d" % (SCREEN_W, SCREEN_H), "pattern:checkerboard", pattern])
        self.run(["display", "-window", "root", pattern])

    def stop_xvfb(self):
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
        path = os.path.join(self.shots, "%s%02d_%s.png" % (self.shot_prefix, self.shot_count, name))
        self.run(["import", "-window", "root", path])
        return path

    def geometry(self, window):
        text = self.xdotool("getwindowgeometry", "--shell", window)
        values = dict(line.split("=", 1) for line in text.split() if "=" in line)
        if "X" not in values:
            raise Failure("window %d is gone" % window)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


# --- The program's window -------------------------------------------------

class FigureWindow:
    """The program's window on a Screen, found by the subclass (`window`), with
    its popup menu (`menus()`). The figure is what hides the root pattern.
    The class values are the cursor's parking place and the patience of the
    clicks; a platform may set others."""

    far_corner = (SCREEN_W - 5, SCREEN_H - 5)
    view_pause = 0.2        # between the screenshots of best_view
    menu_attempts = 40      # clicks open_menu tries
    menu_wait = 1.5         # seconds a click is given to open the menu
    click_settle = 1.0      # seconds a click on a transparent pixel is given

    def __init__(self, desktop):
        self.desktop = desktop
        self.window = None

    def menus(self):
        raise NotImplementedError

    def geometry(self):
        return self.desktop.geometry(self.window)

    def wait_for_steps(self, count=2, timeout=5.0):
        """Waits until the window has moved count times: the frame steps run
        again. A choice from the menu (a character that is read) keeps the
        previous picture on the screen until the steps resume."""
        deadline = time.time() + timeout
        last = self.geometry()[:2]
        moves = 0
        while moves < count and time.time() < deadline:
            time.sleep(0.05)
            now = self.geometry()[:2]
            if now != last:
                moves += 1
                last = now
        return moves >= count

    def figure(self, picture, geometry):
        """Opaque pixels of the window: those that hide the root pattern."""
        x, y, w, h = geometry
        # A margin for the walk between the screenshot and the geometry.
        return picture.differing(self.desktop.reference, (x - 8, y - 8, w + 16, h + 16))

    def best_view(self, seconds):
        """(points, picture, geometry) of the view with the most figure pixels
        over some seconds of turning."""
        best = ([], None, None)
        deadline = time.time() + seconds
        while time.time() < deadline:
            geometry = self.geometry()
            picture = self.desktop.screenshot()
            points = self.figure(picture, geometry)
            if len(points) > len(best[0]):
                best = (points, picture, geometry)
            time.sleep(self.view_pause)
        return best

    def open_menu(self, button=1):
        """Clicks a pixel in the middle of the figure until the menu opens."""
        for _ in range(self.menu_attempts):
            points = self.figure(self.desktop.screenshot(), self.geometry())
            target = solid_point(set(points))
            if target is None:
                time.sleep(0.2)
                continue
            self.desktop.xdotool("mousemove", target[0], target[1], "click", button)
            if wait_for(self.menus, self.menu_wait):
                return target
            self.desktop.xdotool("mousemove", *self.far_corner)
            time.sleep(0.3)
        raise Failure("a click on the figure did not open the menu")


# --- Checks of the figure -------------------------------------------------

def check_figure_in_window(mascot, seconds, most_hidden):
    """The figure at its best view covers enough of the window, leaves at
    least (1 - most_hidden) of it showing the root and lies inside it.
    Gives the figure's standing height."""
    points, _, geometry = mascot.best_view(seconds)
    area = WINDOW_W * WINDOW_H
    check(len(points) >= 3000, "the figure covers %d pixels (at least 3000)" % len(points))
    check(len(points) <= area * most_hidden, "the background shows around the figure (%d of %d pixels hidden)"
          % (len(points), area))
    left, top, right, bottom = bounding_box(points)
    gx, gy, _, _ = geometry
    check(gx - 8 <= left and right <= gx + WINDOW_W + 8 and gy - 8 <= top and bottom <= gy + WINDOW_H + 8,
          "the figure lies inside the window")
    return bottom - top


def check_walk(mascot):
    print("walking", flush=True)
    # The path is summed step by step: near a screen edge the window turns
    # round within the sampling time, so its net move can be small.
    x0, y0, _, _ = mascot.geometry()
    path, last_x, heights = 0, x0, set()
    deadline = time.time() + 2.0
    while time.time() < deadline:
        time.sleep(0.1)
        x, y, _, _ = mascot.geometry()
        path += abs(x - last_x)
        last_x = x
        heights.add(y)
    check(path >= 20, "the window walks sideways (%d pixels in 2 s from x %d)" % (path, x0))
    check(heights == {y0}, "walking keeps the height on the screen")


def check_flee(desktop, mascot, standing_height):
    """Holds the cursor over the figure: the window moves away both ways and
    the figure tips over."""
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
    desktop.xdotool("mousemove", *mascot.far_corner)
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
                clear = all((cx + dx, cy + dy) not in points
                            for dx in range(-30, 31, 3) for dy in range(-30, 31, 3))
                if clear and 0 <= cx < SCREEN_W and 0 <= cy < SCREEN_H:
                    spot = (cx, cy)
                    break
            if spot:
                break
        if spot:
            desktop.xdotool("mousemove", spot[0], spot[1], "click", 1)
            time.sleep(mascot.click_settle)
            opened = mascot.menus()
            desktop.xdotool("mousemove", *mascot.far_corner)
            if opened:
                desktop.keep_screenshot("menu_from_transparent_click")
                desktop.xdotool("key", "Escape")
            check(not opened, "a click on a transparent pixel at %d,%d passes through (no menu)" % spot)
            return
        time.sleep(0.3)
    raise Failure("found no transparent pixel inside the window to click")


# --- Character folders ----------------------------------------------------

DATA_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
SMALL_NAME = "\u3061\u3073\u30bf\u30dc"  # ちびタボ, the test character's Name
SMALL_FOLDER = "\u5c0f\u3055\u3044"      # 小さい, a folder name the wide file API must open


def make_character_folder(folder, name=SMALL_NAME, scale="0.5"):
    """A character folder made of the embedded character's files, drawn at
    half size (Scale=0.5) so that it can be told apart on the screen."""
    os.makedirs(folder, exist_ok=True)
    for part in ("mqo", "mkm", "png"):
        shutil.copy(os.path.join(DATA_DIR, "tavo." + part), os.path.join(folder, "tavo." + part))
    with open(os.path.join(folder, "character.ini"), "w", encoding="utf-8", newline="") as f:
        f.write("[Character]\r\nName=%s\r\nScale=%s\r\n" % (name, scale))
    return folder


MEDAKA_TEXTURE = "\u30e1\u30c0\u30ab.png"  # メダカ.png
TEXTURE_GREEN = (40, 200, 60)


def solid_png(width, height, rgb):
    """A PNG picture of one colour."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    rows = b"".join(b"\x00" + bytes(rgb) * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def make_cp932_texture_character(folder):
    """The embedded character whose document names its texture in code page
    932 (メダカ.png, as a Japanese system writes it) while the picture on disk
    is named in UTF-8 and is all green: the screen shows whether it was found."""
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(DATA_DIR, "tavo.mqo"), "rb") as f:
        document = f.read()
    named = b'tex("' + MEDAKA_TEXTURE.encode("cp932") + b'")'
    document = document.replace(b'tex("tavo.png")', named)
    if named not in document:
        raise Failure("tavo.mqo names no tavo.png texture to rename")
    with open(os.path.join(folder, "tavo.mqo"), "wb") as f:
        f.write(document)
    shutil.copy(os.path.join(DATA_DIR, "tavo.mkm"), os.path.join(folder, "tavo.mkm"))
    with open(os.path.join(folder, MEDAKA_TEXTURE), "wb") as f:
        f.write(solid_png(8, 8, TEXTURE_GREEN))
    return folder


def green_share(mascot, seconds=3.0):
    """The share of the figure's pixels, at its best view, that are the
    texture's green (lit or shaded), and that view's picture."""
    points, picture, _ = mascot.best_view(seconds)
    if not points:
        return 0.0, picture
    green = 0
    for x, y in points:
        i = (y * picture.width + x) * 3
        r, g, b = picture.data[i], picture.data[i + 1], picture.data[i + 2]
        green += g > r + 60 and g > b + 60
    return green / len(points), picture


# The VRM avatar that comes with the program, and the blue of its dress.
AVATAR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "characters", "hinata", "hinata.vrm")


def dress_share(mascot, seconds=3.0):
    """The share of the figure's pixels, at its best view, in the avatar's
    blue dress."""
    points, picture, _ = mascot.best_view(seconds)
    if not points:
        return 0.0
    blue = 0
    for x, y in points:
        i = (y * picture.width + x) * 3
        r, g, b = picture.data[i], picture.data[i + 1], picture.data[i + 2]
        blue += b > r + 60 and b > g + 25
    return blue / len(points)


def check_avatar(mascot, what, shown=True):
    share = dress_share(mascot)
    if shown:
        check(share > 0.2, "%s: the VRM avatar is shown, in its blue dress (%.0f %% of the figure)" % (what, 100 * share))
    else:
        check(share < 0.05, "%s: the avatar is gone (%.0f %% blue)" % (what, 100 * share))


def check_green_texture(mascot, what):
    share, _ = green_share(mascot)
    check(share > 0.5, "%s: the figure wears the green texture (%.0f %% of its pixels)" % (what, 100 * share))


ENGLISH_LABELS = ("Frame rate", "Escape speed", "Swing speed", "Character", "Start at login", "Exit")


def read_words(desktop, rect, name):
    """The text tesseract reads in a rectangle of the screen (scaled 300 %),
    or None when tesseract is not installed."""
    if shutil.which("tesseract") is None:
        return None
    x, y, w, h = rect
    path = os.path.join(desktop.workdir, "ocr_%s.png" % name)
    desktop.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                 "-resize", "300%", path])
    return desktop.run(["tesseract", path, "stdout"], timeout=60)


def check_menu_language(desktop, rect, english, name):
    """The top-level menu at rect reads in English (Frame rate ... Exit) or not."""
    words = read_words(desktop, rect, name)
    if words is None:
        print("  (tesseract is missing: the labels are not read)", flush=True)
        return
    flat = " ".join(words.split())
    # Small menu fonts cost the OCR a letter now and then: most labels will do.
    found = [label for label in ENGLISH_LABELS if label in flat]
    if english:
        check(len(found) >= 4, "the menu reads in English (%s)" % flat)
    else:
        check(not found, "the menu is not in English (%s)" % flat)


def figure_height(mascot, seconds=4.0):
    """The standing height of the figure at its best view."""
    points, _, _ = mascot.best_view(seconds)
    if len(points) < 300:
        return 0
    left, top, right, bottom = bounding_box(points)
    return bottom - top


def check_small_figure(mascot, full_height, small):
    """The half-size test character (small) or the embedded one."""
    height = figure_height(mascot)
    if small:
        check(0.3 * full_height < height < 0.7 * full_height,
              "the folder character is shown at half size (height %d of %d)" % (height, full_height))
    else:
        check(height > 0.8 * full_height, "the embedded character is shown (height %d of %d)" % (height, full_height))


# --- A run of the steps ---------------------------------------------------

class Session:
    """What the steps of a run share: its folders and the screen in use
    (`desktop`, which the steps may replace; it is stopped at the end)."""

    def __init__(self, workdir, shots):
        self.workdir = workdir
        self.shots = shots
        self.desktop = None


def run_suite(prefix, steps, after_failure=None):
    """Runs steps(session) in a fresh working folder. A Failure or a time-out
    is reported with a screenshot (and after_failure(session), if given);
    the folder is removed after a success unless TAVO_E2E_SHOTS names where
    the screenshots go. Gives the exit status: 0 passed, 1 failed."""
    workdir = tempfile.mkdtemp(prefix=prefix)
    shots = os.environ.get("TAVO_E2E_SHOTS", os.path.join(workdir, "shots"))
    os.makedirs(shots, exist_ok=True)
    session = Session(workdir, shots)
    failed = False
    try:
        steps(session)
    except (Failure, subprocess.TimeoutExpired) as error:
        failed = True
        print("FAILED: %s" % error, flush=True)
        try:
            print("screen at the failure: " + session.desktop.keep_screenshot("failure"))
        except Exception:
            pass
        if after_failure is not None:
            after_failure(session)
    finally:
        if session.desktop is not None:
            session.desktop.stop()
    if failed or "TAVO_E2E_SHOTS" in os.environ:
        print("screenshots in " + shots)
    if not failed and "TAVO_E2E_SHOTS" not in os.environ:
        shutil.rmtree(workdir, ignore_errors=True)
    return 1 if failed else 0


# --- Full-screen programs -------------------------------------------------

def check_hides_behind(mascot, cover, uncover, what, shown=None):
    """A full-screen window (cover() starts it, uncover(it) ends it, shown()
    tells when it is on the screen) hides the mascot within a second; when it
    goes the mascot comes back within a second where it was."""
    seen = [mascot.geometry()]
    covering = cover()
    if shown is not None and not wait_for(shown, 30.0, 0.05):
        raise Failure("%s: the full-screen window did not appear" % what)
    started = time.time()
    gone = wait_for(lambda: not mascot.visible() or seen.append(mascot.geometry()), 5.0, 0.05)
    hidden_after = time.time() - started
    check(gone and hidden_after < 1.5, "%s: the mascot hides within %.1f s" % (what, hidden_after))
    time.sleep(1.0)
    check(not mascot.visible(), "and stays hidden while it is in front")
    uncover(covering)
    ended = time.time()
    back = wait_for(mascot.visible, 5.0, 0.05)
    shown_after = time.time() - ended
    check(back and shown_after < 1.5, "when it goes the mascot is back within %.1f s" % shown_after)
    x, y, _, _ = mascot.geometry()
    last_x, last_y, _, _ = seen[-1]
    check(abs(x - last_x) <= 10 and abs(y - last_y) <= 10,
          "where it was (%d,%d, hidden at %d,%d)" % (x, y, last_x, last_y))


def check_stays_before(mascot, cover, uncover, what):
    """A full-screen window that must leave the mascot alone."""
    covering = cover()
    time.sleep(2.0)
    visible = mascot.visible()
    uncover(covering)
    check(visible, "%s: the mascot stays on the screen" % what)
