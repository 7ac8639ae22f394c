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
window manager closes the window. The menu and the boxes speak the user's
language (LANG, or Language= in the settings), and the program, its settings
and a character whose document names its texture in code page 932 work from
folders named in Japanese, with accents and with emoji.
It also checks the two start-up failures: no X
display, and no OpenGL context (OSMesa and EGL made to fail with a preloaded shim).

Usage: linux_desktop_test.py path/to/tavo_3d [no_osmesa_context.so [send_delete_window]]
Screenshots go to TAVO_E2E_SHOTS (default: <tmp>/shots, kept on failure).
Exit status 77 when the program or a required tool is missing.
"""

import contextlib
import os
import re
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from desktop_harness import (EXIT_KEYS, SCREEN_H, SCREEN_W, SKIP, SMALL_FOLDER, START_AT_LOGIN_CAPTION,  # noqa: E402
                             START_AT_LOGIN_KEYS, WINDOW_H, WINDOW_W, Failure, FigureWindow, Screen, check,
                             check_figure_in_window, check_flee, check_small_figure, check_transparent_click,
                             check_walk, check_step_pace, figure_height, make_character_folder, missing_tool,
                             run_suite, slope, wait_for, check_green_texture, check_menu_language, AVATAR, check_avatar,
                             make_cp932_texture_character, check_hides_behind, check_stays_before)

from monitors_harness import DummyMonitors, check_monitors, check_size_from_menu, missing_monitor_tools  # noqa: E402

FAR_CORNER = FigureWindow.far_corner


# --- The desktop ----------------------------------------------------------

class Desktop(Screen):
    """Xvfb with no window manager: either a checkered root and no compositing
    manager, or picom compositing over the plain root (it cannot use a root
    pattern set by another client)."""

    def __init__(self, workdir, shots, composited=False):
        super().__init__(workdir, shots, range(150, 250), "composited_" if composited else "")
        self.composited = composited
        self.compositor = None

    def start(self):
        self.start_xvfb()
        self.env.update({
            "XDG_CONFIG_HOME": os.path.join(self.workdir, "config"),
            "XDG_DATA_HOME": os.path.join(self.workdir, "data"),
            "XDG_DATA_DIRS": os.path.join(self.workdir, "no_shared_data"),
            "LANG": "ja_JP.UTF-8",  # the program's own language; other runs choose theirs
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
            self.show_checkered_root()
        self.reference = self.screenshot()

    def stop(self):
        if self.compositor is not None:
            self.compositor.terminate()
            self.compositor.wait(timeout=10)
            self.compositor = None
        self.stop_xvfb()

    def visible_windows(self, name=None):
        """Viewable windows of the program (its class is tavo_3d), by exact name if given."""
        found = self.run(["xdotool", "search", "--onlyvisible", "--class", "^tavo_3d$"]).split()
        windows = [int(w) for w in found]
        if name is None:
            return windows
        return [w for w in windows if self.xdotool("getwindowname", w).strip() == name]


# --- The program ----------------------------------------------------------

class Mascot(FigureWindow):
    """One run of tavo_3d."""

    def __init__(self, desktop, program, preload=None, args=(), env=None):
        super().__init__(desktop)
        self.program = program
        self.preload = preload
        self.args = list(args)
        self.env = dict(desktop.env, **(env or {}))
        self.process = None
        self.log = None
        self.ini = os.path.join(self.env["XDG_CONFIG_HOME"], "tavo_3d", "tavo_3d.ini")

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
        env = dict(self.env)
        if self.preload:
            env["LD_PRELOAD"] = self.preload
        self.log = open(os.path.join(self.desktop.workdir, "program.log"), "ab")
        self.process = subprocess.Popen([self.program] + self.args, env=env, stdout=subprocess.DEVNULL,
                                        stderr=self.log)

    def wait_window(self, timeout=20):
        found = wait_for(lambda: self.desktop.visible_windows("Tavo_3D"), timeout, 0.2)
        if not found:
            raise Failure("the window Tavo_3D did not appear")
        self.window = found[0]
        return self.window

    def visible(self):
        return bool(self.desktop.visible_windows("Tavo_3D"))

    def menus(self):
        """The open popup menu and submenus: every other viewable window of the program."""
        return [w for w in self.desktop.visible_windows() if w != self.window]

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
        self.choose(EXIT_KEYS)
        return self.wait_exit()

    def kill(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.log is not None:
            self.log.close()


KEEP = object()  # a run with the settings file the last one left


@contextlib.contextmanager
def running(desktop, program, settings=None, preload=None, wait=True, args=(), env=None):
    """A run of the program with the given settings file (none when None),
    its window up and settled unless wait is False; killed when left. env
    adds to the desktop's environment."""
    mascot = Mascot(desktop, program, preload, args, env)
    if settings is None:
        mascot.remove_settings()
    elif settings is not KEEP:
        mascot.write_settings(settings)
    mascot.start()
    try:
        if wait:
            mascot.wait_window()
            time.sleep(1.0)
        yield mascot
    finally:
        mascot.kill()


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
    standing = check_figure_in_window(mascot, 6.0, 0.6)
    desktop.keep_screenshot("mascot")
    return standing


def check_flee_without_menu(desktop, mascot, standing_height):
    check_flee(desktop, mascot, standing_height)
    check(not mascot.menus(), "the cursor over the figure opens no menu by itself")


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
    with running(desktop, program) as mascot:
        check_window(desktop, mascot)
        standing = check_figure(desktop, mascot)
        check_walk(mascot)
        check_flee_without_menu(desktop, mascot, standing)
        time.sleep(3.0)  # let it stand up again
        check_transparent_click(desktop, mascot)
        check_menu_and_twenty_fps(desktop, mascot)
        check(not os.path.exists(mascot.ini), "no settings file is written while running")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program with status 0")
        check(settings_values(mascot.settings_text()) ==
              {"FrameSpeed": 2, "EscapeSpeed": 1, "ActionSpeed": 0},
              "the exit item wrote FrameSpeed=2, EscapeSpeed=1, ActionSpeed=0 in a new directory")


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
    with running(desktop, program, KEPT_SETTINGS) as mascot:
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check(mascot.settings_text() == KEPT_SETTINGS,
              "the file is written back with the same values and the extra lines kept")


def run_sigterm(desktop, program):
    print("== ending by SIGTERM", flush=True)
    with running(desktop, program, KEPT_SETTINGS) as mascot:
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


def run_frame_rate_and_window_manager_close(desktop, program, closer):
    print("== 15 fps, then closed by the window manager", flush=True)
    with running(desktop, program, "[Mode]\nFrameSpeed=1\n") as mascot:
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
        check_step_pace(steps)
        if closer is None:
            return
        subprocess.run([closer, str(mascot.window)], env=desktop.env, timeout=10, check=True)
        check(mascot.wait_exit() == 0, "a close request from the window manager ends the program with status 0")
        check(mascot.settings_text() == "[Mode]\nFrameSpeed=1\nEscapeSpeed=1\nActionSpeed=0\n",
              "and writes the settings")


def run_forbidden_escape_speed(desktop, program):
    print("== EscapeSpeed 0 in the settings file", flush=True)
    with running(desktop, program, "[Mode]\nEscapeSpeed=0\n", wait=False) as mascot:
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


def log_lines(desktop, text):
    with open(os.path.join(desktop.workdir, "program.log"), "rb") as f:
        return [line for line in f.read().decode("utf-8", "replace").splitlines() if text in line]


def close_box(desktop, caption):
    boxes = wait_for(lambda: desktop.visible_windows(caption), 20, 0.2)
    check(boxes, "a box titled %s tells the user" % caption)
    time.sleep(0.5)
    desktop.keep_screenshot("character_box")
    bx, by, bw, bh = desktop.geometry(boxes[0])
    desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
    desktop.xdotool("mousemove", *FAR_CORNER)


def choose_character(desktop, mascot, downs):
    """Opens the character submenu and takes its item after `downs` steps."""
    mascot.open_menu()
    desktop.xdotool("key", "--delay", "80", "Down", "Down", "Down", "Down", "Right")
    if not wait_for(lambda: len(mascot.menus()) == 2, 2.0):
        raise Failure("the character submenu did not open")
    time.sleep(0.3)
    desktop.keep_screenshot("character_menu")
    mascot.choose(["Down"] * downs)
    check(wait_for(lambda: not mascot.menus(), 2.0), "the menu closes after the choice")
    check(mascot.wait_for_steps(), "the figure walks on after the choice")


def run_characters(desktop, program):
    print("== character folders", flush=True)
    folder = make_character_folder(os.path.join(desktop.env["XDG_DATA_HOME"], "tavo_3d", "characters", SMALL_FOLDER))
    missing = os.path.join(desktop.workdir, "no_such_character")
    caption = "\u30ad\u30e3\u30e9\u30af\u30bf\u30fc"  # キャラクター

    with running(desktop, program, "[Mode]\nFrameSpeed=3\n", wait=False, args=["--character", missing]) as mascot:
        close_box(desktop, caption)
        check(len(log_lines(desktop, "cannot load the character " + missing)) == 1,
              "--character with a missing folder: a line on stderr")
        mascot.wait_window()
        full = figure_height(mascot)
        check(full > 150, "and the embedded character runs (height %d)" % full)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")

    with running(desktop, program, "[Mode]\nFrameSpeed=3\n", args=["--character", folder]) as mascot:
        check_small_figure(mascot, full, True)
        desktop.keep_screenshot("folder_character")
        check_walk(mascot)
        choose_character(desktop, mascot, 0)  # Tavo, the first item
        check_small_figure(mascot, full, False)
        choose_character(desktop, mascot, 1)  # the folder character, found in XDG_DATA_HOME
        check_small_figure(mascot, full, True)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("[Character]\nPath=%s\n" % folder in mascot.settings_text(), "the chosen folder is remembered")

    with running(desktop, program, KEEP) as restarted:
        check_small_figure(restarted, full, True)
        check(restarted.quit_from_menu() == 0, "after a restart the remembered character is shown")

    gone = "[Mode]\nFrameSpeed=3\n[Character]\nPath=%s\n" % missing
    before = len(log_lines(desktop, "cannot load the character " + missing))
    with running(desktop, program, gone) as mascot:
        check(not desktop.visible_windows(caption), "a remembered folder that is gone shows no box")
        check_small_figure(mascot, full, False)
        check(len(log_lines(desktop, "cannot load the character " + missing)) == before + 1,
              "only one line on stderr")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("[Character]\nPath=%s\n" % missing in mascot.settings_text(), "and the remembered path is kept")


def run_avatar(desktop, program):
    print("== a VRM avatar", flush=True)
    avatar = os.path.join(desktop.env["XDG_DATA_HOME"], "tavo_3d", "characters", "hinata.vrm")
    os.makedirs(os.path.dirname(avatar), exist_ok=True)
    shutil.copy(AVATAR, avatar)
    try:
        with running(desktop, program, "[Mode]\nFrameSpeed=3\n", args=["--character", avatar]) as mascot:
            check_avatar(mascot, "--character hinata.vrm")
            desktop.keep_screenshot("avatar")
            choose_character(desktop, mascot, 0)  # Tavo
            check_avatar(mascot, "Tavo chosen", shown=False)
            choose_character(desktop, mascot, 1)  # Hinata, a file by itself, listed before the folder
            check_avatar(mascot, "chosen from the menu")
            check(mascot.quit_from_menu() == 0, "the exit item ends the program")
            check("[Character]\nPath=%s\n" % avatar in mascot.settings_text(), "the chosen avatar file is remembered")
    finally:
        os.remove(avatar)


def open_frame_rate_menu(desktop, mascot, name):
    """Opens the menu and its first submenu; gives the top level's rectangle."""
    mascot.open_menu()
    top = mascot.menus()
    desktop.xdotool("key", "--delay", "80", "Down", "Right")
    if not wait_for(lambda: len(mascot.menus()) == 2, 2.0):
        raise Failure("the frame rate submenu did not open")
    time.sleep(0.3)
    desktop.keep_screenshot(name)
    return desktop.geometry(top[0])


def run_languages(desktop, program):
    print("== the menu and the boxes in the user's language", flush=True)
    cases = [("en_US.UTF-8", "", True), ("ja_JP.UTF-8", "", False),
             ("en_US.UTF-8", "Language=ja\n", False), ("ja_JP.UTF-8", "Language=en\n", True)]
    for lang, setting, english in cases:
        print("  LANG=%s %s" % (lang, setting.strip() or "(no Language=)"), flush=True)
        caption, other = ("!!!", "\uff01\uff01\uff01") if english else ("\uff01\uff01\uff01", "!!!")
        settings = "[Mode]\nEscapeSpeed=0\n" + setting
        with running(desktop, program, settings, wait=False, env={"LANG": lang}) as mascot:
            boxes = wait_for(lambda: desktop.visible_windows(caption), 20, 0.2)
            check(boxes and not desktop.visible_windows(other), "the box is titled %s" % caption)
            bx, by, bw, bh = desktop.geometry(boxes[0])
            desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
            desktop.xdotool("mousemove", *FAR_CORNER)
            mascot.wait_window()
            time.sleep(1.0)
            name = "menu_%s_%s" % (lang.split(".")[0], setting.strip().replace("=", "_") or "auto")
            rect = open_frame_rate_menu(desktop, mascot, name)
            check_menu_language(desktop, rect, english, name)
            desktop.xdotool("key", "Escape", "Escape")
            check(wait_for(lambda: not mascot.menus(), 2.0), "Escape closes the menu")
            check(mascot.quit_from_menu() == 0, "the exit item ends the program")
            text = mascot.settings_text()
            check(setting in text if setting else "Language" not in text, "Language= is kept as it was")


# Folders named in Japanese, with an accent and with an emoji.
PLACE = "\u5834\u6240 \u00e9 \U0001f642"  # 場所 é 🙂


def run_names_in_every_script(desktop, program, lang):
    print("== program, settings and character in folders named with kanji, an accent and an emoji (%s)" % lang,
          flush=True)
    root = os.path.join(desktop.workdir, "%s %s" % (PLACE, lang.split(".")[0]))
    home = os.path.join(root, "\u30d7\u30ed\u30b0\u30e9\u30e0")  # プログラム
    os.makedirs(home, exist_ok=True)
    exe = os.path.join(home, "tavo_3d")
    shutil.copy2(program, exe)
    env = {"LANG": lang, "XDG_CONFIG_HOME": os.path.join(root, "\u8a2d\u5b9a \u00e0 \U0001f527"),  # 設定 à 🔧
           "XDG_DATA_HOME": os.path.join(root, "\u30c7\u30fc\u30bf")}  # データ
    folder = make_cp932_texture_character(os.path.join(env["XDG_DATA_HOME"], "tavo_3d", "characters",
                                                       "\u30ad\u30e3\u30e9 \u00ef\U0001f41f"))  # キャラ ï🐟

    with running(desktop, exe, "[Mode]\nFrameSpeed=3\n", args=["--character", folder], env=env) as mascot:
        check_green_texture(mascot, "--character")
        desktop.keep_screenshot("medaka_" + lang.split(".")[0])
        choose_character(desktop, mascot, 0)  # Tavo
        choose_character(desktop, mascot, 1)  # the one character found after Tavo
        check_green_texture(mascot, "chosen from the menu")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("[Character]\nPath=%s\n" % folder in mascot.settings_text(),
              "the settings file in %s keeps the folder's name" % os.path.dirname(mascot.ini))
    with running(desktop, exe, KEEP, env=env) as mascot:
        check_green_texture(mascot, "after a restart")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("[Character]\nPath=%s\n" % folder in mascot.settings_text(), "and writes it back the same")


class MonitorDesktop(DummyMonitors, Desktop):
    """The same desktop on Xorg with two monitors."""


def run_monitors(desktop, program):
    print("== two monitors side by side, one removed, then one on the left", flush=True)
    with running(desktop, program, "[Mode]\nFrameSpeed=3\nEscapeSpeed=3\n") as mascot:
        check_monitors(desktop, mascot)
        # The monitor on the left is at 0, 0: a window covering it is not in
        # front of the mascot on the primary.
        check_stays_before(mascot, covering_window(desktop, 0, 0, 1024, 768, "left_cover"), end_process,
                           "a full-screen window on the other monitor")
        check_size_from_menu(desktop, mascot)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check(settings_values(mascot.settings_text()).get("Size") == 50, "and Size=50 is kept")


def run_scaled(desktop, program):
    print("== a desktop scaled to 200 %", flush=True)
    with running(desktop, program, "[Mode]\nFrameSpeed=3\n", env={"GDK_SCALE": "2"}) as mascot:
        w, h = mascot.geometry()[2:]
        check((w, h) == (800, 720), "without a Size the window is 800 x 720 screen pixels (got %d x %d)" % (w, h))
        points = len(mascot.best_view(3.0)[0])
        check(points >= 4 * 3000, "the figure is drawn at that resolution (%d pixels)" % points)
        desktop.keep_screenshot("scaled_200")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("Size" not in mascot.settings_text(), "and no Size is written: it follows the desktop's scale")


def covering_window(desktop, x, y, w, h, name):
    """A plain window without a border covering (x, y, w, h), as a full-screen
    program with no window manager: ImageMagick's display of a picture."""
    picture = os.path.join(desktop.workdir, name + ".png")
    desktop.run(["convert", "-size", "%dx%d" % (w, h), "xc:navy", picture])

    def start():
        process = subprocess.Popen(["display", "-geometry", "+%d+%d" % (x, y), "-borderwidth", "0", picture],
                                   env=desktop.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return process
    return start


def end_process(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def run_full_screen(desktop, program):
    print("== full-screen programs hide the mascot", flush=True)
    with running(desktop, program, "[Mode]\nFrameSpeed=3\n") as mascot:
        check_hides_behind(mascot, covering_window(desktop, 0, 0, SCREEN_W, SCREEN_H, "cover"), end_process,
                           "no window manager, a window covering the monitor")
        desktop.keep_screenshot("full_screen_gone")
        # openbox finds its theme under the system's data folders.
        openbox = subprocess.Popen(["openbox", "--sm-disable"], env=dict(desktop.env, XDG_DATA_DIRS="/usr/share"),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(2.0)
            check(openbox.poll() is None, "openbox runs")
            terminal = lambda: subprocess.Popen(["xterm", "-fullscreen"], env=desktop.env)  # noqa: E731
            check_hides_behind(mascot, terminal, end_process, "openbox and xterm -fullscreen")
        finally:
            end_process(openbox)
        time.sleep(1.0)
        mascot.open_menu()
        mascot.choose(["Up", "Up", "Up"])  # 全画面のときは隠れる: off
        time.sleep(0.5)
        check_stays_before(mascot, covering_window(desktop, 0, 0, SCREEN_W, SCREEN_H, "cover"), end_process,
                           "hiding turned off from the menu")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
        check("HideForFullScreen=0\n" in mascot.settings_text(), "and HideForFullScreen=0 is kept")


def run_start_at_login(desktop, program):
    print("== start at login", flush=True)
    entry = os.path.join(desktop.env["XDG_CONFIG_HOME"], "autostart", "tavo_3d.desktop")
    with running(desktop, program) as mascot:
        mascot.open_menu()
        mascot.choose(START_AT_LOGIN_KEYS)
        check(wait_for(lambda: os.path.isfile(entry), 5.0), "choosing the item writes " + entry)
        with open(entry) as f:
            text = f.read()
        check("\nExec=%s\n" % program in text, "whose Exec= is the program's absolute path")
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")
    with running(desktop, program) as mascot:
        mascot.open_menu()
        time.sleep(0.3)
        desktop.keep_screenshot("start_at_login_checked")
        mascot.choose(START_AT_LOGIN_KEYS)
        check(wait_for(lambda: not os.path.exists(entry), 5.0), "choosing it again removes the entry")
        os.rmdir(os.path.dirname(entry))
        with open(os.path.dirname(entry), "w") as f:
            f.write("a file where the folder belongs")
        mascot.open_menu()
        mascot.choose(START_AT_LOGIN_KEYS)
        boxes = wait_for(lambda: desktop.visible_windows(START_AT_LOGIN_CAPTION), 10, 0.2)
        check(boxes, "when the folder cannot be made, a box says so")
        time.sleep(0.5)
        desktop.keep_screenshot("start_at_login_failed")
        bx, by, bw, bh = desktop.geometry(boxes[0])
        desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
        desktop.xdotool("mousemove", *FAR_CORNER)
        check(wait_for(lambda: not desktop.visible_windows(START_AT_LOGIN_CAPTION), 5.0), "and closes")
        check(os.path.isfile(os.path.dirname(entry)), "nothing was written")
        check(mascot.quit_from_menu() == 0, "the program runs on and ends from its menu")
        os.remove(os.path.dirname(entry))


def run_composited(desktop, program):
    print("== with a compositing manager", flush=True)
    with running(desktop, program) as mascot:
        shape = desktop.run(["xwininfo", "-shape", "-id", str(mascot.window)])
        check("No window shape defined" in shape, "the window is not cut out: the alpha is blended")
        check_figure(desktop, mascot)
        check_transparent_click(desktop, mascot)
        check(mascot.quit_from_menu() == 0, "the exit item ends the program")


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
    with running(desktop, program, preload=shim, wait=False) as mascot:
        boxes = wait_for(lambda: desktop.visible_windows("OpenGL"), 20, 0.2)
        check(boxes, "a box titled OpenGL tells the user")
        time.sleep(0.5)
        desktop.keep_screenshot("no_opengl_box")
        bx, by, bw, bh = desktop.geometry(boxes[0])
        desktop.xdotool("mousemove", bx + bw - 40, by + bh - 25, "click", 1)
        desktop.xdotool("mousemove", *FAR_CORNER)
        check(mascot.wait_exit() == 1, "closing it ends the program with status 1")
        check(not os.path.exists(mascot.ini), "no settings are written")


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
    if missing_tool(("Xvfb", "xdotool", "xprop", "import", "convert", "display")):
        return SKIP

    def steps(session):
        run_without_display(program, session.workdir)
        desktop = session.desktop = Desktop(session.workdir, session.shots)
        desktop.start()
        run_first_start(desktop, program)
        run_settings_written_back(desktop, program)
        run_sigterm(desktop, program)
        run_forbidden_escape_speed(desktop, program)
        run_frame_rate_and_window_manager_close(desktop, program, closer)
        run_characters(desktop, program)
        run_avatar(desktop, program)
        run_start_at_login(desktop, program)
        run_languages(desktop, program)
        run_scaled(desktop, program)
        for lang in ("ja_JP.UTF-8", "en_US.UTF-8"):
            run_names_in_every_script(desktop, program, lang)
        if shim and os.path.exists(shim):
            run_without_opengl(desktop, program, shim)
        if shutil.which("openbox") and shutil.which("xterm"):
            run_full_screen(desktop, program)
        else:
            print("== full-screen programs: skipped, openbox or xterm is not installed", flush=True)
        desktop.stop()
        why_not = missing_monitor_tools()
        if why_not is None:
            desktop = session.desktop = MonitorDesktop(session.workdir, session.shots)
            desktop.start()
            run_monitors(desktop, program)
            desktop.stop()
        else:
            print("== several monitors: skipped, %s" % why_not, flush=True)
        if shutil.which("picom") is None:
            print("== with a compositing manager: skipped, picom is not installed", flush=True)
        else:
            desktop = session.desktop = Desktop(session.workdir, session.shots, composited=True)
            desktop.start()
            run_composited(desktop, program)

    def show_program_log(session):
        log = os.path.join(session.workdir, "program.log")
        if os.path.exists(log):
            with open(log, "rb") as f:
                print("the program's last messages:\n" + f.read()[-2000:].decode("utf-8", "replace"))

    return run_suite("tavo_linux_e2e_", steps, show_program_log)


if __name__ == "__main__":
    sys.exit(main())
