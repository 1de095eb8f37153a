#!/usr/bin/python3
"""IxoMp3 in a user's session, met from outside as walk.py meets it: files opened with it (its
desktop entry's command line), later starts handing theirs to the one player, and MPRIS over the
session bus, each step read back from the texts (AT-SPI), the sound (SDL's disk driver), the bus
and the X windows. Usage: session.py <program> <work folder> <screenshot folder>"""

import os, pathlib, re, shlex, subprocess, sys, time  # noqa: E401

import dbus
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

import walk
from walk import BLOCK, FRAME, TONES, block_tone, mapped, within

ONE, TWO, THREE = TONES
MPRIS, ROOT, PLAYER = "org.mpris.MediaPlayer2.ixomp3", "org.mpris.MediaPlayer2", "org.mpris.MediaPlayer2.Player"
ENTRY = pathlib.Path(__file__).resolve().parents[2] / "packaging" / "ixomp3.desktop"
SECONDS = 60  # every song outlasts the steps that play it

# What a start that ends at once prints: arguments, exit status, a line it prints.
PRINTS = [
    (["--help"], 0, "Usage: ixomp3 [OPTION]... [FILE]..."),
    (["-h"], 0, "Usage: ixomp3 [OPTION]... [FILE]..."),
    (["--version"], 0, "ixomp3 0.1.0"),
    (["--bogus", "x.mp3"], 2, "ixomp3: unknown option --bogus"),
]

# A playlist file handed over by a later start: the list file's songs, the answer to the save
# question (None: the list has no unsaved changes, so none is asked), and what follows: the
# playlist, the counter and the song heard.
LISTS = [
    ([TWO, ONE], "Utzi", [ONE, TWO, THREE], "3/3", THREE),
    ([TWO, ONE], "Ez", [TWO, ONE], "1/2", TWO),
    ([ONE, THREE], None, [ONE, THREE], "1/2", ONE),
]

# MPRIS methods in turn, from [ONE, THREE] playing at 1/2: the counter, PlaybackStatus and the
# song heard after each (None: the output stands still).
METHODS = [
    ("Pause", "1/2", "Paused", None),
    ("PlayPause", "1/2", "Playing", ONE),
    ("Next", "2/2", "Playing", THREE),
    ("Next", "2/2", "Playing", THREE),  # no wrap at the end
    ("Previous", "1/2", "Playing", ONE),
    ("Previous", "1/2", "Playing", ONE),  # nor at the start
    ("Stop", "1/2", "Stopped", None),
    ("Next", "2/2", "Stopped", None),  # stopped, only the counter moves
    ("PlayPause", "2/2", "Playing", THREE),  # stopped, the current song plays
    ("Pause", "2/2", "Paused", None),
    ("Pause", "2/2", "Paused", None),
    ("Play", "2/2", "Playing", THREE),  # paused, it resumes
    ("Play", "2/2", "Playing", THREE),
]

# Volume written over MPRIS, the bar's volume display after it, and the volume read back.
VOLUMES = [(0.5, "% 50", 0.5), (0.334, "% 33", 0.33), (7.0, "% 100", 1.0)]


class Session(walk.Walk):
    def __init__(self, program, work):
        super().__init__(program, work, SECONDS)
        self.env["PATH"] = os.path.dirname(program) + os.pathsep + self.env["PATH"]
        self.song = {name: os.path.join(work, "kantak", name + ".mp3") for name in TONES}
        self.elsewhere = os.path.join(work, "beste")
        os.makedirs(self.elsewhere)
        DBusGMainLoop(set_as_default=True)
        self.bus, self.changes, self.player = dbus.SessionBus(), [], None
        self.bus.add_signal_receiver(
            lambda interface, changed, _: self.changes.append(dict(changed)) if interface == PLAYER else None,
            "PropertiesChanged", "org.freedesktop.DBus.Properties", path="/org/mpris/MediaPlayer2")

    def command(self, files):
        """The desktop entry's command line for these files (%F)."""
        line = next(l[5:] for l in ENTRY.read_text().splitlines() if l.startswith("Exec="))
        return [a for word in shlex.split(line) for a in (files if word == "%F" else [word])]

    def later(self, files, cwd=None):
        """A later start with these files; it must end at once, with status 0."""
        done = subprocess.run(self.command(files), cwd=cwd or self.elsewhere, env=self.env,
                              capture_output=True, text=True, timeout=30)
        if done.returncode != 0:
            raise AssertionError(f"expected the later start to end with 0; saw {done.returncode}: {done.stderr}")

    def pump(self):
        while GLib.MainContext.default().iteration(False):
            pass

    def mpris(self, interface=PLAYER):
        if self.player is None:
            within(15, "the player on the bus", lambda: (self.bus.name_has_owner(MPRIS), self.bus.list_names()))
            self.player = self.bus.get_object(MPRIS, "/org/mpris/MediaPlayer2")
        return dbus.Interface(self.player, interface)

    def get(self, name):
        return self.mpris("org.freedesktop.DBus.Properties").Get(PLAYER, name)

    def announced(self, name, value):
        """Whether a PropertiesChanged since the last clear said name is value."""
        self.pump()
        return any(name in change and value(change[name]) for change in self.changes)

    def heard(self):
        """The song the output plays now, "silence", or None while it stands still."""
        sizes = []
        for _ in range(2):
            sizes.append(os.path.getsize(self.raw) if os.path.exists(self.raw) else 0)
            time.sleep(0.25)
        if sizes[1] == sizes[0]:
            return None
        with open(self.raw, "rb") as data:
            data.seek(max(sizes[1] // (BLOCK * FRAME) - 2, 0) * BLOCK * FRAME)
            return block_tone(data.read(BLOCK * FRAME)) or "silence"

    def bar_text(self, label):
        """What one of the bar's labels shows: its text, under its own name."""
        found = [n for n in walk.nodes(self.window_with("Irten")) if n.name == label]
        return found[0].queryText().getText(0, -1) if found else None

    def state(self):
        return self.bar_text("Abestia"), str(self.get("PlaybackStatus")), self.heard()

    def items_are(self, names):
        paths = [self.song[n] for n in names]
        return within(10, f"the list {paths}", lambda: (self.items() == paths, self.items()))

    def bars(self):
        return [w for w in mapped() if w[1:3] == (212, 37)]

    def alone(self):
        def probe():
            shown = mapped()
            return ([w[1:3] for w in shown] == [(212, 37)]
                    and "_NET_WM_STATE_ABOVE" in walk.run("xprop", "-id", shown[0][0], "_NET_WM_STATE"), shown)
        within(10, "only the bar, above", probe)

    def to_tray(self):
        self.press("Irten", "Txikiagotu")
        within(5, "only the tray icon", lambda: (len(m := mapped()) == 1 and m[0][1] < 100, m))

    def steps(self):
        # Options print and end without a display.
        bare = {k: v for k, v in self.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        for arguments, status, line in PRINTS:
            done = subprocess.run([self.program, *arguments], env=bare, capture_output=True, text=True, timeout=10)
            if done.returncode != status or line not in (done.stdout + done.stderr).splitlines():
                raise AssertionError(f"{arguments}: expected {status} and {line!r}; saw {done.returncode}, "
                                     f"{done.stdout + done.stderr!r}")
        checked = subprocess.run(["desktop-file-validate", str(ENTRY)], capture_output=True, text=True)
        if checked.returncode != 0 or checked.stdout or "%F" not in self.command(["%F"]):
            raise AssertionError(f"expected a valid entry passing %F; saw {checked.stdout}{checked.stderr}")
        yield "options and desktop entry"

        # Without a session bus there is no one player: each start is its own, as before.
        alone = dict(self.env, DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent/bus")
        starts = [subprocess.Popen([self.program], cwd=self.work, env=alone, stderr=subprocess.DEVNULL)
                  for _ in range(2)]
        try:
            within(20, "two bars", lambda: (len(self.bars()) == 2 and all(p.poll() is None for p in starts),
                                            mapped()))
        finally:
            for start in starts:
                start.kill()
                start.wait()
        within(10, "no window left", lambda: (mapped() == [], mapped()))
        yield "no session bus"

        # Opened with the program: the songs, named from the caller's folder, are appended, the
        # list is marked as changed, and the first is played.
        self.process = subprocess.Popen(self.command([ONE + ".mp3", TWO + ".mp3"]),
                                        cwd=os.path.join(self.work, "kantak"), env=self.env)
        within(15, "only the bar", lambda: ([w[1:3] for w in mapped()] == [(212, 37)], mapped()))
        self.press("Irten", "Zerrenda")
        self.items_are([ONE, TWO])
        self.find("Berria", "Gorde")
        within(10, "1/2 playing the first", lambda: (self.state() == ("1/2", "Playing", ONE), self.state()))
        yield "open with two songs"

        # A later start hands its song to the player and ends; the song is added and played,
        # and there is still one bar.
        self.later([os.path.join("..", "kantak", THREE + ".mp3")])
        self.items_are([ONE, TWO, THREE])
        within(10, "3/3 playing the third", lambda: (self.state() == ("3/3", "Playing", THREE), self.state()))
        if len(self.bars()) != 1:
            raise AssertionError(f"expected one bar; saw {mapped()}")
        song = self.get("Metadata")
        if (song["xesam:title"], song["xesam:url"]) != (THREE, "file://" + self.song[THREE].replace(" ", "%20")):
            raise AssertionError(f"expected the third song's metadata; saw {dict(song)}")
        yield "later start with a song"

        # A file that is not there is refused in Basque, and nothing else changes.
        missing = "/nowhere/4 Laugarrena.mp3"
        self.later([missing])
        self.press(f"Ezin izan da ireki: {missing}: ez da aurkitu (No such file or directory)", "Ados", title="Okerra")
        self.items_are([ONE, TWO, THREE])
        within(10, "still 3/3 playing", lambda: (self.state() == ("3/3", "Playing", THREE), self.state()))
        yield "missing file refused"

        # A list opens as the open button opens one: over unsaved changes the save question
        # comes first; once opened it plays from its first song.
        for number, (songs, answer, items, counter, tone) in enumerate(LISTS):
            path = os.path.join(self.work, f"zerrenda{number}.m3u")
            pathlib.Path(path).write_bytes(b"".join(os.fsencode(self.song[n]) + b"\r\n" for n in songs))
            self.later([path])
            if answer:
                self.press("Gorde nahi duzu zerrenda hau?", answer, title="Ireki...")
            self.items_are(items)
            within(10, f"{counter} playing {tone}", lambda: (self.state() == (counter, "Playing", tone),
                                                              self.state()))
        yield "lists over unsaved changes and not"

        # MPRIS: each method runs the bar's command, with its guards; a change of PlaybackStatus
        # and of the song is announced.
        status, title = "Playing", ONE
        for method, counter, expected, tone in METHODS:
            self.changes.clear()
            self.mpris().get_dbus_method(method)()
            within(10, f"{method}: {counter} {expected} {tone}", lambda: (
                self.state() == (counter, expected, tone), self.state()))
            if expected != status:
                within(5, f"{method}: PlaybackStatus {expected} announced", lambda: (
                    self.announced("PlaybackStatus", lambda v: v == expected), self.changes))
            now = THREE if counter == "2/2" else ONE
            if now != title:
                within(5, f"{method}: the song {now} announced", lambda: (
                    self.announced("Metadata", lambda v: v.get("xesam:title") == now), self.changes))
            song = self.get("Metadata")
            if song["xesam:title"] != now or (expected != "Stopped" and abs(song["mpris:length"] - SECONDS * 1e6) > 1e5):
                raise AssertionError(f"{method}: expected {now}, {SECONDS} s; saw {dict(song)}")
            if (bool(self.get("CanGoNext")), bool(self.get("CanGoPrevious"))) != (counter == "1/2", counter == "2/2"):
                raise AssertionError(f"{method}: CanGoNext/CanGoPrevious wrong at {counter}")
            status, title = expected, now
        for volume, shown, read in VOLUMES:
            self.changes.clear()
            self.mpris("org.freedesktop.DBus.Properties").Set(PLAYER, "Volume", dbus.Double(volume))
            within(5, f"the bar showing {shown}", lambda: (self.bar_text("Bolumena") == shown, self.bar_text("Bolumena")))
            within(5, f"Volume {read} announced", lambda: (self.announced("Volume", lambda v: abs(v - read) < 1e-9),
                                                            self.changes))
        yield "MPRIS transport and volume"

        # With no files a later start brings the bar back from the tray, as Raise does.
        self.to_tray()
        self.later([])
        self.alone()
        self.to_tray()
        self.mpris(ROOT).Raise()
        self.alone()
        yield "bar back from the tray"

        # Quit is the exit command: a changed list is offered for saving first, and Cancel
        # keeps the program running.
        self.later([self.song[TWO]])
        within(10, "3/3 playing the added song", lambda: (self.state() == ("3/3", "Playing", TWO), self.state()))
        self.mpris(ROOT).Quit()
        self.press("Gorde nahi duzu irten aurretik zerrenda hau?", "Utzi", title="Irten...")
        time.sleep(1)
        if self.process.poll() is not None:
            raise AssertionError("expected Cancel to keep the program running")
        self.mpris(ROOT).Quit()
        self.press("Gorde nahi duzu irten aurretik zerrenda hau?", "Ez", title="Irten...")
        try:
            status = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("expected the program to end; it still runs") from None
        if status != 0 or self.bus.name_has_owner(MPRIS):
            raise AssertionError(f"expected status 0 and the name gone; saw {status}")
        yield "MPRIS quit asks first"


if __name__ == "__main__":
    sys.exit(walk.main(Session))
