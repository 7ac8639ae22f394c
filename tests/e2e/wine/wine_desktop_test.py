#!/usr/bin/env python3
"""End-to-end test of tavo_3d.exe under Wine on a private Xvfb display.

Drives the program with xdotool, reads the screen with ImageMagick's import
and the settings file beside the copied executable, and checks what a user
would see: a 400 x 360 topmost window that shows the figure on a transparent
background, walks, flees the cursor and tips over, opens its menu on a click
on the figure (not on a transparent pixel), applies menu choices, and keeps
the choices in tavo_3d.ini. It also measures the frame steps per second at
15 fps from the walking speed, shows the menu and the boxes in the user's
language (LANG, or Language= in the settings), and runs the program, its
settings and a character whose document names its texture in code page 932
from folders named in Japanese, with accents and with emoji.

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
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from desktop_harness import (EXIT_KEYS, SCREEN_H, SCREEN_W, SKIP, SMALL_FOLDER, START_AT_LOGIN_KEYS,  # noqa: E402
                             WINDOW_H, WINDOW_W, Failure, FigureWindow, Screen, check, check_figure_in_window,
                             check_flee, check_small_figure, check_transparent_click, check_walk,
                             check_step_pace, figure_height, make_character_folder, missing_tool, run_suite,
                             slope, wait_for, check_green_texture, check_menu_language, AVATAR, check_avatar,
                             make_cp932_texture_character, check_hides_behind, check_stays_before)

from monitors_harness import DummyMonitors, check_monitors, check_size_from_menu, missing_monitor_tools  # noqa: E402

FAR_CORNER = (SCREEN_W - 10, SCREEN_H - 10)


# --- The desktop ----------------------------------------------------------

JAPANESE = "ja_JP.UTF-8"
ENGLISH = "en_US.UTF-8"
FONT_LINKS = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink"


class Desktop(Screen):
    """Xvfb with a checkered root, Wine in a fresh prefix made under a locale
    (a Japanese or an English Windows), and the tools."""

    def __init__(self, workdir, shots, lang=JAPANESE):
        super().__init__(workdir, shots, range(87, 200), "" if lang == JAPANESE else lang[:2] + "_")
        self.lang = lang

    def start(self):
        self.start_xvfb()
        self.env.update({
            "WINEPREFIX": os.path.join(self.workdir, "prefix_" + self.lang[:2]),
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "LANG": self.lang,
            "LC_ALL": self.lang,
        })
        self.show_checkered_root()
        self.run(["wineboot", "-i"], timeout=120)
        self.run(["wineserver", "-w"], timeout=120)
        if self.lang != JAPANESE:
            # As on a Western Windows, the interface fonts fall back to a
            # Japanese one for the characters they lack.
            for face in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2"):
                self.run(["wine", "reg", "add", FONT_LINKS, "/v", face, "/t", "REG_MULTI_SZ",
                          "/d", "ipag.ttf,IPAGothic", "/f"], timeout=60)
            self.run(["wineserver", "-w"], timeout=120)
        self.reference = self.screenshot()

    def stop(self):
        if self.display is not None:
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=30)
            self.display = None
        self.stop_xvfb()

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

class Mascot(FigureWindow):
    """One run of tavo_3d.exe from its own folder."""

    far_corner = FAR_CORNER
    view_pause = 0.25
    menu_attempts = 30
    menu_wait = 2.0
    click_settle = 1.5

    def __init__(self, desktop, exe, folder):
        super().__init__(desktop)
        self.folder = folder
        os.makedirs(folder, exist_ok=True)
        self.exe = os.path.join(folder, "tavo_3d.exe")
        shutil.copy(exe, self.exe)
        self.ini = os.path.join(folder, "tavo_3d.ini")
        self.process = None

    def write_settings(self, **values):
        with open(self.ini, "w", newline="") as f:
            f.write("[Mode]\r\n")
            for key, value in values.items():
                f.write("%s=%s\r\n" % (key, value))

    def settings(self):
        with open(self.ini, "rb") as f:
            text = f.read().decode("ascii", "replace")
        return {m.group(1): int(m.group(2)) for m in re.finditer(r"(\w+)=(-?\d+)", text)}

    def start(self, args=()):
        self.desktop.xdotool("mousemove", *FAR_CORNER)
        self.process = subprocess.Popen(["wine", self.exe] + list(args), cwd=self.folder, env=self.desktop.env,
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

    def menus(self):
        return self.desktop.menus()

    def visible(self):
        info = self.desktop.run(["xwininfo", "-id", str(self.window)])
        return "IsViewable" in info

    def choose(self, keys):
        """Walks the open menu with keys, then moves the cursor out of the way."""
        self.desktop.xdotool("key", *keys)
        self.desktop.xdotool("key", "Return", "mousemove", *FAR_CORNER)

    def quit(self):
        self.open_menu()
        self.choose(EXIT_KEYS)
        try:
            self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise Failure("the exit item did not end the program")
        self.desktop.run(["wineserver", "-w"], timeout=60)


# --- The checks -----------------------------------------------------------

def check_window_and_figure(desktop, mascot):
    print("window, figure and transparency", flush=True)
    x, y, w, h = mascot.geometry()
    check((w, h) == (WINDOW_W, WINDOW_H), "the window is 400 x 360 (got %d x %d)" % (w, h))
    # Wine leaves a topmost tool window that is never activated to itself:
    # an override-redirect X window, which no window manager restacks or
    # focuses. Managed, it would say so in its state and hints.
    state = desktop.run(["xprop", "-id", str(mascot.window), "_NET_WM_STATE", "WM_HINTS"])
    unmanaged = "Override Redirect State: yes" in desktop.run(["xwininfo", "-id", str(mascot.window)])
    check(unmanaged or "_NET_WM_STATE_ABOVE" in state, "the window is kept above the others")
    check(unmanaged or "accepts input or input focus: False" in state, "it never asks for the focus")
    focus = desktop.run(["xdotool", "getwindowfocus"]).strip()
    check(focus != str(mascot.window), "and has not taken it (focus: %s)" % focus)
    standing = check_figure_in_window(mascot, 8.0, 0.8)
    desktop.keep_screenshot("window")
    return standing


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
    check_step_pace(steps)


def check_twenty_fps_goes_home(desktop, mascot):
    print("choosing 20fps from a menu opened with the right button", flush=True)
    # The menu is opened with a click on the figure, and the cursor stays
    # there until the choice is made. Wine may still report that place on the
    # first step after the menu, so it must lie outside the window at its new
    # home (400 x 360 at 0, 0), or the mascot flees from it: the window walks
    # on until the figure (its middle hundred pixels) is right of x 400.
    if not wait_for(lambda: mascot.geometry()[0] >= 260, 15):
        raise Failure("the window did not walk on to the right (at x %d)" % mascot.geometry()[0])
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
    folder = os.path.join(workdir, "checks_" + desktop.lang[:2])
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
    mascot.open_menu()
    desktop.xdotool("key", "Escape")
    check(wait_for(lambda: not mascot.menus(), 3), "the menu takes the keyboard: Escape closes it")
    measure_frame_rate(desktop, mascot)
    check_twenty_fps_goes_home(desktop, mascot)
    check(not os.path.exists(mascot.ini), "no settings file is written while running")
    mascot.quit()
    check(mascot.settings() == {"FrameSpeed": 2, "EscapeSpeed": 1, "ActionSpeed": 0},
          "the exit item wrote FrameSpeed=2, EscapeSpeed=1, ActionSpeed=0")


def run_out_of_range_frame_speed(desktop, exe, workdir):
    print("== FrameSpeed 9 in the settings file, in a folder named in Japanese, with an accent and an emoji", flush=True)
    # None of "é" and the emoji is in code page 932: the settings are found
    # beside the exe only through the wide API.
    mascot = Mascot(desktop, exe, os.path.join(workdir, "frame9 \u8a2d\u5b9a \u00e9 \U0001f642"))
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
    # A box that has only just been mapped may not take the click yet, and
    # may still be moving to the centre: click its button, where it is now,
    # until it closes.
    for _ in range(5):
        current = desktop.program_windows("\uff01\uff01\uff01")
        if not current:
            break
        _, _, _, bx, by, bw, bh = current[0]
        desktop.xdotool("mousemove", bx + bw // 2, by + bh - 20, "click", 1, "mousemove", *FAR_CORNER)
        if wait_for(lambda: not desktop.program_windows("\uff01\uff01\uff01"), 3):
            break
    mascot.wait_window()
    time.sleep(2.0)
    check(not desktop.program_windows("\uff01\uff01\uff01"), "the box came once and the program runs on")
    mascot.quit()
    check(mascot.settings().get("EscapeSpeed") == 3, "EscapeSpeed is written back as 3")


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def close_box(desktop, caption):
    boxes = wait_for(lambda: desktop.program_windows(caption), 40)
    check(boxes, "a box titled %s tells the user" % caption)
    desktop.keep_screenshot("character_box")
    # A box that has only just been mapped may miss clicks on a busy machine,
    # and Wine may still move it to the centre: its place is read afresh
    # before every click.
    for _ in range(12):
        current = desktop.program_windows(caption)
        if not current:
            break
        _, _, _, bx, by, bw, bh = current[0]
        desktop.xdotool("mousemove", bx + bw // 2, by + bh - 20, "click", 1, "mousemove", *FAR_CORNER)
        if wait_for(lambda: not desktop.program_windows(caption), 3):
            break
    check(not desktop.program_windows(caption), "the box closes with its button")


def choose_character(desktop, mascot, downs):
    """Opens the character submenu and takes its item after `downs` steps."""
    mascot.open_menu()
    desktop.xdotool("key", "Down", "Down", "Down", "Down", "Right")
    time.sleep(0.5)
    desktop.keep_screenshot("character_menu")
    mascot.choose(["Down"] * downs)
    time.sleep(0.5)
    check(mascot.wait_for_steps(), "the figure walks on after the choice")


def run_avatar(desktop, exe, workdir):
    print("== a VRM avatar", flush=True)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "avatar"))
    avatar = os.path.join(mascot.folder, "characters", "hinata.vrm")
    os.makedirs(os.path.dirname(avatar), exist_ok=True)
    shutil.copy(AVATAR, avatar)
    mascot.write_settings(FrameSpeed=3)
    mascot.start(["--character", windows_path(avatar)])
    mascot.wait_window()
    check_avatar(mascot, "--character hinata.vrm")
    desktop.keep_screenshot("avatar")
    choose_character(desktop, mascot, 0)  # Tavo
    check_avatar(mascot, "Tavo chosen", shown=False)
    choose_character(desktop, mascot, 1)  # Hinata, found beside the executable
    check_avatar(mascot, "chosen from the menu")
    mascot.quit()
    with open(mascot.ini, "rb") as f:
        text = f.read().decode("utf-8")
    check(("[Character]\r\nPath=%s\r\n" % windows_path(avatar)) in text, "the chosen avatar file is remembered")


def run_characters(desktop, exe, workdir):
    print("== character folders", flush=True)
    caption = "\u30ad\u30e3\u30e9\u30af\u30bf\u30fc"  # キャラクター
    mascot = Mascot(desktop, exe, os.path.join(workdir, "folders"))
    folder = make_character_folder(os.path.join(mascot.folder, "characters", SMALL_FOLDER))
    missing = windows_path(os.path.join(workdir, "no_such_character"))
    mascot.write_settings(FrameSpeed=3)
    mascot.start(["--character", missing])
    close_box(desktop, caption)
    mascot.wait_window()
    full = figure_height(mascot)
    check(full > 150, "--character with a missing folder: a box, then the embedded character (height %d)" % full)
    mascot.quit()

    mascot.start(["--character", windows_path(folder)])
    mascot.wait_window()
    check_small_figure(mascot, full, True)
    desktop.keep_screenshot("folder_character")
    choose_character(desktop, mascot, 0)  # Tavo, the first item
    check_small_figure(mascot, full, False)
    choose_character(desktop, mascot, 1)  # the folder character, found beside the executable
    check_small_figure(mascot, full, True)
    mascot.quit()
    with open(mascot.ini, "rb") as f:
        text = f.read().decode("utf-8")
    check(("[Character]\r\nPath=%s\r\n" % windows_path(folder)) in text, "the chosen folder is remembered")

    mascot.start()
    mascot.wait_window()
    check_small_figure(mascot, full, True)
    mascot.quit()

    with open(mascot.ini, "w", newline="") as f:
        f.write("[Mode]\r\nFrameSpeed=3\r\n[Character]\r\nPath=%s\r\n" % missing)
    mascot.start()
    mascot.wait_window()
    check_small_figure(mascot, full, False)
    check(not desktop.program_windows(caption), "a remembered folder that is gone: the embedded character, no box")
    mascot.quit()


def run_languages(desktop, exe, workdir):
    """The language of the desktop, then the other one by Language=."""
    print("== the menu and the boxes in the user's language (%s)" % desktop.lang, flush=True)
    native = desktop.lang != JAPANESE
    for setting, english in ((None, native), ("ja" if native else "en", not native)):
        print("  Language=%s" % (setting or "(none)"), flush=True)
        caption, other = ("!!!", "\uff01\uff01\uff01") if english else ("\uff01\uff01\uff01", "!!!")
        mascot = Mascot(desktop, exe, os.path.join(workdir, "language %s %s" % (desktop.lang[:2], setting)))
        if setting:
            mascot.write_settings(EscapeSpeed=0, Language=setting)
        else:
            mascot.write_settings(EscapeSpeed=0)
        mascot.start()
        boxes = wait_for(lambda: desktop.program_windows(caption), 40)
        check(boxes and not desktop.program_windows(other), "the box is titled %s" % caption)
        close_box(desktop, caption)
        mascot.wait_window()
        time.sleep(1.5)
        mascot.open_menu()
        time.sleep(0.5)
        name = "menu_%s_%s" % (desktop.lang[:5], setting or "auto")
        desktop.keep_screenshot(name)
        menus = mascot.menus()
        check(menus, "the menu is open")
        _, _, _, mx, my, mw, mh = max(menus, key=lambda m: m[6])  # the top level is the tallest
        check_menu_language(desktop, (mx, my, mw, mh), english, name)
        desktop.xdotool("key", "Escape")
        time.sleep(0.5)
        mascot.quit()
        with open(mascot.ini, "rb") as f:
            text = f.read().decode("utf-8")
        check(("Language=%s" % setting in text) if setting else "Language" not in text,
              "Language= is kept as it was")


# Folders named in Japanese, with an accent and with an emoji.
PLACE = "\u5834\u6240 \u00e9 \U0001f642"  # 場所 é 🙂


def run_names_in_every_script(desktop, exe, workdir):
    print("== program, settings and character in folders named with kanji, an accent and an emoji (%s)" % desktop.lang,
          flush=True)
    home = os.path.join(workdir, "%s %s" % (PLACE, desktop.lang[:5]), "\u30d7\u30ed\u30b0\u30e9\u30e0")  # プログラム
    mascot = Mascot(desktop, exe, home)
    folder = make_cp932_texture_character(os.path.join(home, "characters",
                                                       "\u30ad\u30e3\u30e9 \u00ef\U0001f41f"))  # キャラ ï🐟
    mascot.write_settings(FrameSpeed=3)
    mascot.start(["--character", windows_path(folder)])
    mascot.wait_window()
    time.sleep(1.0)
    check_green_texture(mascot, "--character")
    desktop.keep_screenshot("medaka_" + desktop.lang[:5])
    choose_character(desktop, mascot, 0)  # Tavo
    choose_character(desktop, mascot, 1)  # the character found beside the exe
    check_green_texture(mascot, "chosen from the menu")
    mascot.quit()
    with open(mascot.ini, "rb") as f:
        text = f.read().decode("utf-8")
    check(("[Character]\r\nPath=%s\r\n" % windows_path(folder)) in text,
          "the settings file beside the exe keeps the folder's name in UTF-8")
    check("[Mode]\r\nFrameSpeed=3\r\n" in text, "and the choices beside it")
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    check_green_texture(mascot, "after a restart")
    mascot.quit()


def full_screen_program(desktop, exe, workdir, x, y):
    """Starts (when called) our full-screen test program on the monitor at
    the Windows point x, y; None when it was not built beside the exe."""
    built = os.path.join(os.path.dirname(exe), "tavo_full_screen_window.exe")
    if not os.path.isfile(built):
        return None
    folder = os.path.join(workdir, "full screen")
    os.makedirs(folder, exist_ok=True)
    shutil.copy(built, folder)

    def start():
        return subprocess.Popen(["wine", os.path.join(folder, "tavo_full_screen_window.exe"), str(x), str(y)],
                                cwd=folder, env=desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return start


def end_program(process):
    process.terminate()
    try:
        process.wait(timeout=20)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def run_full_screen(desktop, exe, workdir):
    print("== a full-screen program hides the mascot", flush=True)
    cover = full_screen_program(desktop, exe, workdir, 0, 0)
    if cover is None:
        print("  tavo_full_screen_window.exe is not built beside the exe: skipped", flush=True)
        return
    mascot = Mascot(desktop, exe, os.path.join(workdir, "full screen mascot"))
    mascot.write_settings(FrameSpeed=3)
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    def shown():
        return any(w[1] == "Full screen" and "IsViewable" in desktop.run(["xwininfo", "-id", str(w[0])])
                   for w in desktop.windows())
    check_hides_behind(mascot, cover, end_program, "a window covering the monitor in front", shown)
    time.sleep(1.0)
    mascot.open_menu()
    mascot.choose(["Up", "Up", "Up"])  # 全画面のときは隠れる: off
    time.sleep(0.5)
    check_stays_before(mascot, cover, end_program, "hiding turned off from the menu")
    mascot.quit()
    with open(mascot.ini, "rb") as f:
        check(b"HideForFullScreen=0" in f.read(), "and HideForFullScreen=0 is kept")


class MonitorDesktop(DummyMonitors, Desktop):
    """The Japanese desktop on Xorg with two monitors."""


def run_monitors(desktop, exe, workdir):
    print("== two monitors side by side, one removed, then one on the left", flush=True)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "monitors"))
    mascot.write_settings(FrameSpeed=3, EscapeSpeed=3)
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    check_monitors(desktop, mascot)
    # The monitor on the left lies at negative coordinates for Windows.
    cover = full_screen_program(desktop, exe, workdir, -500, 300)
    if cover is not None:
        check_stays_before(mascot, cover, end_program, "a full-screen program on the other monitor")
    check_size_from_menu(desktop, mascot)
    mascot.quit()
    check(mascot.settings().get("Size") == 50, "and Size=50 is kept")


def run_high_dpi(desktop, exe, workdir):
    print("== a monitor at 144 DPI (150 %)", flush=True)
    desktop.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                 "/d", "144", "/f"], timeout=60)
    desktop.run(["wineserver", "-w"], timeout=120)
    mascot = Mascot(desktop, exe, os.path.join(workdir, "high_dpi"))
    mascot.write_settings(FrameSpeed=3)
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    w, h = mascot.geometry()[2:]
    check((w, h) == (600, 540), "without a Size the window follows the monitor: 600 x 540 (got %d x %d)" % (w, h))
    points = len(mascot.best_view(3.0)[0])
    check(points >= 2 * 3000, "and the figure is drawn at that resolution (%d pixels)" % points)
    desktop.keep_screenshot("high_dpi")
    mascot.quit()
    check("Size" not in mascot.settings(), "no Size is written: it goes on following the monitor")


RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"


def run_start_at_login(desktop, exe, workdir):
    print("== start at login", flush=True)

    def run_value():
        out = desktop.run(["wine", "reg", "query", RUN_KEY, "/v", "Tavo_3D"], timeout=60)
        m = re.search(r"Tavo_3D\s+REG_SZ\s+(.*?)\s*$", out, re.M)
        return m.group(1) if m else None

    mascot = Mascot(desktop, exe, os.path.join(workdir, "login folder"))
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    mascot.open_menu()
    mascot.choose(START_AT_LOGIN_KEYS)
    expected = '"Z:%s"' % mascot.exe.replace("/", "\\")
    value = wait_for(run_value, 10, 0.5)
    check(value is not None and value.lower() == expected.lower(),
          "choosing the item sets Run\\Tavo_3D to the quoted exe path (%s)" % value)
    mascot.quit()
    mascot.start()
    mascot.wait_window()
    time.sleep(1.0)
    mascot.open_menu()
    desktop.keep_screenshot("start_at_login_checked")
    mascot.choose(START_AT_LOGIN_KEYS)
    time.sleep(1.0)
    check(run_value() is None, "choosing it again removes the value")
    mascot.quit()


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_exe = os.path.join(here, "..", "..", "..", "build", "mingw", "src", "shell", "win32", "tavo_3d.exe")
    exe = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.environ.get("TAVO_WIN_EXE", default_exe))
    if not os.path.isfile(exe):
        print("no executable at " + exe + ": build the mingw preset first")
        return SKIP
    if missing_tool(("Xvfb", "wine", "wineserver", "xdotool", "xwininfo", "xprop", "import", "convert",
                     "display")):
        return SKIP

    def steps(session):
        check_imports(exe)
        desktop = session.desktop = Desktop(session.workdir, session.shots)
        desktop.start()
        run_shell_checks(desktop, exe, session.workdir)
        run_default_settings(desktop, exe, session.workdir)
        run_out_of_range_frame_speed(desktop, exe, session.workdir)
        run_forbidden_escape_speed(desktop, exe, session.workdir)
        run_characters(desktop, exe, session.workdir)
        run_avatar(desktop, exe, session.workdir)
        run_start_at_login(desktop, exe, session.workdir)
        run_full_screen(desktop, exe, session.workdir)
        run_languages(desktop, exe, session.workdir)
        run_names_in_every_script(desktop, exe, session.workdir)
        desktop.stop()
        why_not = missing_monitor_tools()
        if why_not is None:
            desktop = session.desktop = MonitorDesktop(session.workdir, session.shots)
            desktop.start()
            run_monitors(desktop, exe, session.workdir)
            desktop.stop()
        else:
            print("== several monitors: skipped, %s" % why_not, flush=True)
        desktop = session.desktop = Desktop(session.workdir, session.shots, ENGLISH)
        desktop.start()
        run_shell_checks(desktop, exe, session.workdir)
        run_languages(desktop, exe, session.workdir)
        run_names_in_every_script(desktop, exe, session.workdir)
        run_high_dpi(desktop, exe, session.workdir)

    return run_suite("tavo_wine_e2e_", steps)


if __name__ == "__main__":
    sys.exit(main())
