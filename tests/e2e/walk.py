#!/usr/bin/python3
"""Walks IxoMp3's main road as a user would, from outside the program.

The mouse is xdotool's; what the windows show is read over AT-SPI (the texts Qt exposes to
screen readers); the results are the program's own files and what SDL's disk driver wrote as
sound. Run by run_e2e.sh, which provides the X server, IceWM, the accessibility bus, the songs
and the program.

Usage: walk.py <program> <work folder> <artefact folder>
"""

import math
import os
import re
import struct
import subprocess
import sys
import time

import pyatspi

SAMPLE_RATE = 44100
FRAME_BYTES = 8  # stereo 32-bit float, the player's device format
TONES = {"1 Lehena": 440.0, "2 Bigarrena": 660.0, "3 Hirugarrena": 990.0}


class StepFailed(Exception):
    pass


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


class Screen:
    """The X desktop: the mouse, window geometry and screenshots."""

    def __init__(self, artefacts):
        self.artefacts = artefacts
        self.shots = 0

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.artefacts, f"{self.shots:02d}-{name}.png")
        subprocess.run(["import", "-window", "root", path], check=False, capture_output=True)
        return path

    @staticmethod
    def click(x, y, repeat=1):
        run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", str(repeat),
            "--delay", "80", "1")

    @staticmethod
    def shift_click(x, y):
        run("xdotool", "mousemove", str(x), str(y), "keydown", "shift", "click", "1",
            "keyup", "shift")

    @staticmethod
    def hold(x, y, seconds):
        # One xdotool run, so that starting a second process does not lengthen the hold.
        run("xdotool", "mousemove", str(x), str(y), "mousedown", "1", "sleep", str(seconds),
            "mouseup", "1")

    @staticmethod
    def type_line(text):
        run("xdotool", "key", "ctrl+a")
        run("xdotool", "type", "--delay", "5", text)
        run("xdotool", "key", "Return")

    @staticmethod
    def viewable_windows():
        """(width, height, x, y) of every mapped window of the program."""
        tree = run("xwininfo", "-root", "-tree")
        found = []
        for line in tree.splitlines():
            if '"ixomp3" "IxoMp3"' not in line:
                continue
            size, at = line.split()[-2], line.split()[-1]
            width, height = (int(n) for n in size.split("+")[0].split("x"))
            _, x, y = at.split("+")
            window = line.split()[0]
            if "IsViewable" in run("xwininfo", "-id", window):
                found.append((width, height, int(x), int(y)))
        return found


class Player:
    """The running program as AT-SPI shows it."""

    def __init__(self, pid):
        self.pid = pid
        # The bar lives as long as the program, so its labels are looked up once.
        self.labels = None

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            try:
                if app is not None and app.get_process_id() == self.pid:
                    return app
            except Exception:  # an application that went away while we looked
                continue
        return None

    def windows(self):
        app = self.application()
        if app is None:
            return []
        app.clear_cache()
        return [app.getChildAtIndex(i) for i in range(app.childCount)]

    @staticmethod
    def descendants(root):
        stack = [root]
        while stack:
            node = stack.pop()
            if node is None:
                continue
            yield node
            # Reversed onto the stack, so that children come out in their own order.
            stack.extend(node.getChildAtIndex(i) for i in reversed(range(node.childCount)))

    def window_with(self, name):
        """The top-level window holding a control of that accessible name."""
        for window in self.windows():
            if any(node.name == name for node in self.descendants(window)):
                return window
        return None

    def find(self, window, name, role=None):
        for node in self.descendants(window):
            if node.name == name and (role is None or node.getRoleName() == role):
                return node
        return None

    def all_of(self, window, role):
        return [node for node in self.descendants(window) if node.getRoleName() == role]

    @staticmethod
    def centre(node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x + box.width // 2, box.y + box.height // 2

    @staticmethod
    def showing(node):
        return node.getState().contains(pyatspi.STATE_SHOWING)

    def bar(self):
        return self.window_with("Irten")

    def label(self, index):
        """The bar's display labels in their order: counter, title, time, volume."""
        if self.labels is None:
            bar = self.bar()
            self.labels = self.all_of(bar, "label") if bar else None
        if self.labels is None or index >= len(self.labels):
            return None
        node = self.labels[index]
        node.clear_cache()
        return node.name


def within(seconds, what, probe):
    """Polls probe() until it returns (True, seen); fails saying what was expected and seen."""
    deadline = time.monotonic() + seconds
    seen = None
    while True:
        try:
            ok, seen = probe()
        except Exception as error:  # the tree changes under us while windows come and go
            ok, seen = False, f"error reading the desktop: {error}"
        if ok:
            return seen
        if time.monotonic() > deadline:
            raise StepFailed(f"expected {what}; saw {seen}")
        time.sleep(0.05)


def found(node):
    return node is not None, node


def dominant_tone(raw_path):
    """The strongest of the songs' tones in the last tenth of a second written to the device."""
    size = os.path.getsize(raw_path)
    frames = 4096
    if size < frames * FRAME_BYTES:
        return None, size
    with open(raw_path, "rb") as raw:
        raw.seek((size // FRAME_BYTES - frames) * FRAME_BYTES)
        data = raw.read(frames * FRAME_BYTES)
    left = struct.unpack(f"<{frames * 2}f", data)[0::2]
    best, best_power = None, 0.0
    for name, frequency in TONES.items():
        coefficient = 2 * math.cos(2 * math.pi * frequency / SAMPLE_RATE)
        previous = before = 0.0
        for sample in left:
            previous, before = sample + coefficient * previous - before, previous
        power = previous * previous + before * before - coefficient * previous * before
        if power > best_power:
            best, best_power = name, power
    return (best if best_power > 1.0 else None), size


class Walk:
    def __init__(self, program, work, artefacts):
        self.program = program
        self.work = work
        self.songs = os.path.join(work, "kantak")
        self.playlist_file = os.path.join(work, "nire zerrenda.m3u")
        self.raw = os.path.join(work, "audio.raw")
        self.screen = Screen(artefacts)
        self.process = None
        self.player = None
        self.saved_bytes = None

    def song_path(self, name):
        return os.path.join(self.songs, name + ".mp3")

    # --- the steps -------------------------------------------------------------------------

    def start(self):
        environment = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                           SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.raw)
        self.process = subprocess.Popen([self.program], cwd=self.work, env=environment)
        self.player = Player(self.process.pid)
        width, height = run("xdpyinfo").split("dimensions:")[1].split()[0].split("x")
        centre = (int(width) // 2, int(height) // 2)

        def splash():
            windows = Screen.viewable_windows()
            for w, h, x, y in windows:
                if abs(x + w // 2 - centre[0]) <= 2 and abs(y + h // 2 - centre[1]) <= 2:
                    return True, windows
            return False, windows
        within(10, "the splash centred on the screen", splash)
        self.screen.screenshot("splash")

    def bar_shows_empty_counter(self):
        def bar():
            windows = Screen.viewable_windows()
            return ([w[:2] for w in windows] == [(212, 37)] and self.player.label(0) == "0/0",
                    f"windows {windows}, counter {self.player.label(0)!r}")
        within(10, "the splash gone and only the bar, showing 0/0", bar)

    def open_playlist(self):
        self.press_on(self.player.bar(), "Zerrenda")
        within(5, "the playlist window", lambda: self.playlist_shown())

    def add_three_songs(self):
        self.add_from_browser("1 Lehena.mp3", "3 Hirugarrena.mp3")
        self.expect_display(5, "1/3", "1 Lehena")
        within(2, "three items in the playlist",
               lambda: (self.playlist_items() == [self.song_path(n) for n in TONES],
                        self.playlist_items()))

    def add_from_browser(self, first, last=None):
        """Opens the browser from the playlist, enters kantak, selects first (to last, with a
        shift click) and presses the browser's add button."""
        self.press_on(self.playlist(), "Gehitu")
        browser = within(5, "the file browser", self.browser)
        folder = within(5, "the folder kantak in the browser's folder list",
                        lambda: self.list_item(browser, 0, "kantak"))
        Screen.click(*Player.centre(folder), repeat=2)
        song = within(5, f"{first} in the browser's file list",
                      lambda: self.list_item(self.browser()[1], 1, first))
        Screen.click(*Player.centre(song))
        if last is not None:
            Screen.shift_click(*Player.centre(self.list_item(self.browser()[1], 1, last)[1]))
        add = within(5, "the browser's add button once songs are selected",
                     lambda: found(self.showing_button(self.browser()[1], "Gehitu")))
        Screen.click(*Player.centre(add))
        within(5, "the browser closed", lambda: (self.browser()[0] is False, "still open"))

    def play(self):
        self.press_on(self.player.bar(), "Hasi")
        self.expect_tone("1 Lehena")
        within(3, "the time shown while playing",
               lambda: (":" in (self.player.label(2) or ""), self.player.label(2)))

    def next_pause_resume_stop(self):
        self.press_on(self.player.bar(), "Aurrera")
        self.expect_display(5, "2/3", "2 Bigarrena")
        self.expect_tone("2 Bigarrena")
        self.press_on(self.player.bar(), "Gelditu")
        seen = set()

        def blinked():
            seen.add(self.player.label(1))
            return {"", "2 Bigarrena"} <= seen, seen
        within(4, "the title blinking while paused", blinked)
        paused_size = os.path.getsize(self.raw)
        time.sleep(0.5)
        if os.path.getsize(self.raw) > paused_size + 2 * 4096 * FRAME_BYTES:
            raise StepFailed("expected no sound while paused; the output kept growing")
        self.press_on(self.player.bar(), "Gelditu")
        self.expect_display(3, "2/3", "2 Bigarrena")
        self.expect_tone("2 Bigarrena")
        self.press_on(self.player.bar(), "Amaitu")
        self.expect_silence()

    def volume_down_for_a_second(self):
        """The volume repeats ten steps a second while held. Release lands within a tick of a
        step, so a hold that ends one tick early or late is tried once more from full volume;
        a wrong step or a repeat that outlives the release fails both tries."""
        for attempt in (1, 2):
            self.hold("Bolumena jeitsi", 1.05)
            time.sleep(0.3)
            seen = self.player.label(3)
            if seen == "% 90":
                time.sleep(0.4)
                if self.player.label(3) != "% 90":
                    raise StepFailed(f"expected the volume to stay at % 90 after the release; "
                                     f"saw {self.player.label(3)!r}")
                return
            if attempt == 2 or seen not in ("% 89", "% 91"):
                raise StepFailed(f"expected % 90 after holding volume down for a second; "
                                 f"saw {seen!r}")
            print(f"  (the hold ended a tick off, at {seen}; once more)", flush=True)
            self.hold("Bolumena igo", 2.0)
            within(2, "the volume back at % 100",
                   lambda: (self.player.label(3) == "% 100", self.player.label(3)))

    def hold(self, button, seconds):
        Screen.hold(*Player.centre(self.player.find(self.player.bar(), button)), seconds)

    def save_playlist(self):
        self.press_on(self.playlist(), "Gorde")
        self.type_into_dialog("Gorde...", self.playlist_file)
        expected = b"".join(os.fsencode(self.song_path(n)) + b"\r\n" for n in TONES)
        within(5, f"the playlist file holding {expected!r}",
               lambda: (self.file_bytes() == expected, self.file_bytes()))
        within(3, "the save button hidden once saved",
               lambda: (self.showing_button(self.playlist(), "Gorde") is None, "still shown"))
        self.saved_bytes = expected

    def new_list_then_open(self):
        self.press_on(self.playlist(), "Berria")
        within(3, "an empty playlist and 0/0", lambda: (
            self.playlist_items() == [] and self.player.label(0) == "0/0",
            (self.playlist_items(), self.player.label(0))))
        self.press_on(self.playlist(), "Ireki")
        self.type_into_dialog("Ireki...", self.playlist_file)
        within(5, "the three songs back in the playlist",
               lambda: (self.playlist_items() == [self.song_path(n) for n in TONES],
                        self.playlist_items()))
        self.expect_display(3, "1/3", "1 Lehena")

    def add_one_more_and_exit_without_saving(self):
        self.add_from_browser("2 Bigarrena.mp3")
        within(5, "four songs and the save button shown", lambda: (
            len(self.playlist_items()) == 4 and self.showing_button(self.playlist(), "Gorde"),
            self.playlist_items()))
        self.press_on(self.player.bar(), "Irten")
        question = "Gorde nahi duzu irten aurretik zerrenda hau?"
        within(5, f"the question {question!r}",
               lambda: (self.player.window_with(question) is not None, "no such window"))
        no = within(3, "the question's No button", lambda: self.dialog_button(question, "No"))
        self.screen.screenshot("exit-question")
        Screen.click(*self.decorated_centre("Irten...", self.player.window_with(question), no))
        try:
            status = self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            raise StepFailed("expected the program to end after No; it is still running")
        if status != 0:
            raise StepFailed(f"expected exit status 0; saw {status}")
        if self.file_bytes() != self.saved_bytes:
            raise StepFailed(f"expected the saved file unchanged; saw {self.file_bytes()!r}")

    # --- reading and driving the windows ---------------------------------------------------

    def press_on(self, window, name):
        if window is None:
            raise StepFailed(f"expected a window with the button {name!r}; none is shown")
        button = self.showing_button(window, name)
        if button is None:
            raise StepFailed(f"expected the button {name!r} on screen; it is not shown")
        Screen.click(*Player.centre(button))

    @staticmethod
    def decorated_centre(title, window, node):
        """A control's centre in a window the window manager framed. Qt places such a window's
        controls as if the frame were not there, so the offset is taken from X itself."""
        xid = run("xdotool", "search", "--sync", "--onlyvisible", "--name",
                  f"^{re.escape(title)}$").split()[0]
        info = run("xwininfo", "-id", xid)
        x = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", info).group(1))
        y = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", info).group(1))
        box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        cx, cy = Player.centre(node)
        return cx + x - box.x, cy + y - box.y

    def showing_button(self, window, name):
        if window is None:
            return None
        for node in Player.descendants(window):
            if node.name == name and Player.showing(node):
                return node
        return None

    def playlist(self):
        return self.player.window_with("Berria")

    def playlist_shown(self):
        window = self.playlist()
        return window is not None and Player.showing(window), window

    def playlist_items(self):
        window = self.playlist()
        if window is None:
            return None
        lists = self.player.all_of(window, "list")
        if not lists:
            return None
        return [item.name for item in self.player.all_of(lists[0], "list item")]

    def browser(self):
        """(shown, window): the browser is the window with lists but no Berria button."""
        for window in self.player.windows():
            if self.player.find(window, "Berria") is None and self.player.all_of(window, "list"):
                return Player.showing(window), window
        return False, None

    def list_item(self, browser, which, text):
        """An item of the browser's folder list (0) or file list (1), matched on its text."""
        # The drive box's pop-up list is there too, but not shown.
        lists = sorted((node for node in self.player.all_of(browser, "list")
                        if Player.showing(node)),
                       key=lambda node: node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y)
        if len(lists) < 2:
            return False, f"{len(lists)} lists"
        names = [item.name for item in self.player.all_of(lists[which], "list item")]
        for item in self.player.all_of(lists[which], "list item"):
            if item.name.strip() == text:
                return True, item
        return False, names

    def dialog_button(self, question, text):
        window = self.player.window_with(question)
        buttons = self.player.all_of(window, "push button") if window else []
        for button in buttons:
            if button.name.replace("&", "") == text:
                return True, button
        return False, [b.name for b in buttons]

    def type_into_dialog(self, title, path):
        """Types a path into the file name field of the file dialog of that title."""
        def dialog():
            for window in self.player.windows():
                if window.getRoleName() == "dialog" and window.name == title \
                        and Player.showing(window):
                    field = self.player.find(window, "File name:", "text")
                    return field is not None, (window, field)
            return False, "no such dialog"
        window, field = within(5, f"the file dialog {title!r} with its file name field", dialog)
        Screen.click(*self.decorated_centre(title, window, field))
        Screen.type_line(path)
        within(5, "the dialog closed", lambda: (not dialog()[0], "still open"))

    def expect_display(self, seconds, counter, title):
        within(seconds, f"counter {counter!r} and title {title!r}",
               lambda: ((self.player.label(0), self.player.label(1)) == (counter, title),
                        (self.player.label(0), self.player.label(1))))

    def expect_tone(self, song):
        def sounding():
            tone, size = dominant_tone(self.raw) if os.path.exists(self.raw) else (None, 0)
            return tone == song, f"tone of {tone} with {size} bytes written"
        before = os.path.getsize(self.raw) if os.path.exists(self.raw) else 0
        within(5, f"the output growing with the tone of {song}",
               lambda: (os.path.getsize(self.raw) > before + 8 * 4096 * FRAME_BYTES,
                        f"{os.path.getsize(self.raw) - before} bytes more"))
        within(3, f"the tone of {song}", sounding)

    def expect_silence(self):
        time.sleep(0.3)
        size = os.path.getsize(self.raw)
        time.sleep(0.5)
        grown = os.path.getsize(self.raw) - size
        if grown > 2 * 4096 * FRAME_BYTES:
            raise StepFailed(f"expected no sound after stop; {grown} more bytes were written")

    def file_bytes(self):
        try:
            with open(self.playlist_file, "rb") as file:
                return file.read()
        except OSError as error:
            return f"<{error.strerror}>"

    # --- the walk --------------------------------------------------------------------------

    def steps(self):
        return [
            ("start shows the splash", self.start),
            ("then the bar with 0/0", self.bar_shows_empty_counter),
            ("open the playlist", self.open_playlist),
            ("add three songs from the browser", self.add_three_songs),
            ("play", self.play),
            ("next, pause, resume, stop", self.next_pause_resume_stop),
            ("volume down held for a second", self.volume_down_for_a_second),
            ("save the playlist", self.save_playlist),
            ("new list, open the file", self.new_list_then_open),
            ("add one more, exit without saving", self.add_one_more_and_exit_without_saving),
        ]

    def walk(self):
        for number, (title, step) in enumerate(self.steps(), start=1):
            began = time.monotonic()
            try:
                step()
            except (StepFailed, subprocess.SubprocessError, OSError) as failure:
                shot = self.screen.screenshot(f"FAILED-{number}")
                print(f"FAIL step {number} ({title}): {failure}\n  screenshot: {shot}",
                      flush=True)
                return False
            self.screen.screenshot(title.split(",")[0].replace(" ", "-"))
            print(f"ok {number} - {title} ({time.monotonic() - began:.1f} s)", flush=True)
        return True

    def stop(self):
        if self.process is not None and self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def main():
    program, work, artefacts = sys.argv[1:4]
    walk = Walk(program, work, artefacts)
    try:
        return 0 if walk.walk() else 1
    finally:
        walk.stop()


if __name__ == "__main__":
    sys.exit(main())
