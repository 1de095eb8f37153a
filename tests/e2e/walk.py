#!/usr/bin/python3
"""Walks IxoMp3 from outside, as its users meet it: xdotool's mouse and keys, the texts and
actions over AT-SPI, MPRIS over the session bus, the files, and the sound SDL's disk driver wrote.
    walk.py session|access <program> <work folder> <screenshot folder>
    walk.py press <pid> <window> <button>   presses a button by its action, with no pointer"""

import math, os, pathlib, re, shlex, struct, subprocess, sys, time  # noqa: E401

import dbus
import pyatspi
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

RATE, FRAME, BLOCK = 44100, 8, 2048  # the device's stereo 32-bit float frames
TONES = {"1 Lehena": 440.0, "2 Bigarrena": 660.0, "3 Hirugarrena": 990.0}
ONE, TWO, THREE = TONES
MPRIS, ROOT, PLAYER = "org.mpris.MediaPlayer2.ixomp3", "org.mpris.MediaPlayer2", "org.mpris.MediaPlayer2.Player"
ENTRY = pathlib.Path(__file__).resolve().parents[2] / "packaging" / "ixomp3.desktop"
LONG = 60  # the songs outlast the steps that play them
ON_EXIT = "Gorde nahi duzu irten aurretik zerrenda hau?"

# What a start that ends at once prints: arguments, exit status, a line it prints.
PRINTS = [(["--help"], 0, "Usage: ixomp3 [OPTION]... [FILE]..."), (["-h"], 0, "Usage: ixomp3 [OPTION]... [FILE]..."),
          (["--version"], 0, "ixomp3 0.1.0"), (["--bogus", "x.mp3"], 2, "ixomp3: unknown option --bogus")]

# A playlist file handed over by a later start: the list file's songs, the answer to the save
# question (None: the list has no unsaved changes, so none is asked), and what follows: the
# playlist, the counter and the song heard.
LISTS = [([TWO, ONE], "Utzi", [ONE, TWO, THREE], "3/3", THREE), ([TWO, ONE], "Ez", [TWO, ONE], "1/2", TWO),
         ([ONE, THREE], None, [ONE, THREE], "1/2", ONE)]

# MPRIS methods in turn, from [ONE, THREE] playing at 1/2: the counter, PlaybackStatus and the
# song heard after each (None: the output stands still).
METHODS = [("Pause", "1/2", "Paused", None), ("PlayPause", "1/2", "Playing", ONE), ("Next", "2/2", "Playing", THREE),
           ("Next", "2/2", "Playing", THREE), ("Previous", "1/2", "Playing", ONE), ("Stop", "1/2", "Stopped", None),
           ("Next", "2/2", "Stopped", None), ("PlayPause", "2/2", "Playing", THREE),  # stopped: it plays
           ("Pause", "2/2", "Paused", None), ("Play", "2/2", "Playing", THREE)]

# Volume written over MPRIS, the bar's volume display after it, and the volume read back.
VOLUMES = [(0.5, "% 50", 0.5), (0.334, "% 33", 0.33), (7.0, "% 100", 1.0)]

BUTTON, LABEL, LIST = "push button", "label", "list"
# Each window's name, the press that shows it (window, button), and its controls shown at first.
WINDOWS = {
    "IxoMp3": (None, [("Abestia", LABEL), ("Izenburua", LABEL), ("Denbora", LABEL), ("Bolumena", LABEL)]
               + [(n, BUTTON) for n in ("Atzera", "Hasi", "Gelditu", "Amaitu", "Aurrera", "Zerrenda",
                                        "Txikiagotu", "Egilea", "Irten", "Bolumena igo", "Bolumena jeitsi")]),
    "Zerrenda": (("IxoMp3", "Zerrenda"), [("Zerrenda", LIST)] + [(n, BUTTON) for n in ("Berria", "Ireki", "Gehitu", "Itxi")]),
    "Artxiboak": (("Zerrenda", "Gehitu"), [("Unitatea", "combo box"), ("Karpeta", LIST), ("Artxiboak", LIST),
                                           ("Itxi", BUTTON)]),
    "Egilea": (("IxoMp3", "Egilea"), [("ixomp3.example.org", "link"), ("ixomp3@example.org", "link"),
                                      ("Ados!", BUTTON), ("IxoMp3 taldearen logoa", "image")]),
}
CLOSED_BY = {"Zerrenda": "Itxi", "Artxiboak": "Itxi", "Egilea": "Ados!"}


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def within(seconds, what, probe):
    """Polls probe() until it returns (True, seen); fails saying what was expected and seen."""
    deadline, seen = time.monotonic() + seconds, None
    while True:
        try:
            ok, seen = probe()
        except Exception as error:  # the tree changes under us while windows come and go
            ok, seen = False, f"error reading the desktop: {error}"
        if ok:
            return seen
        fail_if(time.monotonic() > deadline, f"expected {what}; saw {seen}")
        time.sleep(0.05)


def fail_if(failed, message):
    if failed:
        raise AssertionError(message)


def click(x, y, repeat=1, keys=(), button="1"):
    """Clicks, then leaves the pointer off the program, whose tooltips would count as windows."""
    run("xdotool", "mousemove", str(x), str(y), *[a for k in keys for a in ("keydown", k)],
        "click", "--repeat", str(repeat), "--delay", "80", button,
        *[a for k in keys for a in ("keyup", k)], "mousemove", "100", "400")


def mapped():
    """(xid, width, height, x, y, the window manager's title) of each of the program's mapped X windows."""
    found = []
    for m in re.finditer(r'^\s*(0x\w+) (?:"(.*)"|\(has no name\)): \("ixomp3" "IxoMp3"\)\s+(\d+)x(\d+)\S*\s+\+(-?\d+)\+(-?\d+)$',
                         run("xwininfo", "-root", "-tree"), re.M):
        if "IsViewable" in run("xwininfo", "-id", m[1]):
            found.append((m[1], *(int(n) for n in m.group(3, 4, 5, 6)), m[2] or ""))
    return found


def nodes(root):
    stack = [root]
    while stack:
        node = stack.pop()
        if node is not None:
            yield node
            stack.extend(node.getChildAtIndex(i) for i in reversed(range(node.childCount)))


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def windows(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
        if app is not None and app.get_process_id() == pid:
            app.clear_cache()
            return [app.getChildAtIndex(i) for i in range(app.childCount)]
    return []


def window(pid, name):
    return next((w for w in windows(pid) if w.name == name and showing(w)), None)


def lookup(pid, window_name, name, role=None):
    """The shown control of that name (and role) in the shown window of that name, or None."""
    return next((n for n in nodes(window(pid, window_name)) if n.name.replace("&", "").strip() == name
                 and showing(n) and role in (None, n.getRoleName())), None)


def block_tone(chunk):
    """The song whose tone a block of output holds, told by its zero crossings; None if quiet."""
    left = struct.unpack(f"<{BLOCK * 2}f", chunk)[0::2]
    rate = sum(a < 0 <= b or b < 0 <= a for a, b in zip(left, left[1:])) * RATE / 2 / BLOCK
    return min(TONES, key=lambda n: abs(TONES[n] - rate)) if max(left) > 0.1 else None


class Walk:
    def __init__(self, program, work, shots):
        self.program, self.work, self.shots, self.process = program, work, shots, None
        self.song = {name: os.path.join(work, "kantak", name + ".mp3") for name in TONES}
        self.songs = list(self.song.values())
        self.list_file, self.raw = os.path.join(work, "nire zerrenda.m3u"), os.path.join(work, "audio.raw")
        # A home of its own: the file dialog remembers there the folder it was last in.
        os.makedirs(os.path.join(work, "home"))
        self.env = dict(os.environ, HOME=os.path.join(work, "home"), QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.raw)

    def tones(self, seconds):
        """Steady tones, each its own pitch, so that the output tells which song was heard."""
        os.makedirs(os.path.join(self.work, "kantak"))
        for name, frequency in TONES.items():
            # Each tone fits a second in whole periods, so one second repeated is one steady tone.
            wave = (int(12000 * math.sin(2 * math.pi * frequency * i / RATE)) for i in range(RATE))
            subprocess.run(["lame", "--quiet", "-r", "-s", "44.1", "--signed", "--little-endian", "-", self.song[name]],
                           input=b"".join(struct.pack("<hh", v, v) for v in wave) * seconds, check=True)

    def find(self, window_name, name, role=None):
        return within(15, f"{name!r} shown in {window_name!r}",
                      lambda: ((n := lookup(self.process.pid, window_name, name, role)) is not None, n))

    def press(self, window_name, name, framed=False, repeat=1, keys=(), role=None):
        node = self.find(window_name, name, role)
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        if framed:  # Qt places the controls of a window IceWM framed as if there were no frame
            top = node
            while top.parent.getRoleName() != "application":
                top = top.parent
            box = top.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            at = run("xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{re.escape(window_name)}$",
                     "getwindowgeometry").split("Position: ")[1].split()[0].split(",")
            x, y = x + int(at[0]) - box.x, y + int(at[1]) - box.y
        click(x, y, repeat, keys)
        return node

    def answer(self, window_name, question, button):
        self.find(window_name, question)
        self.press(window_name, button, framed=True)

    def act(self, window_name, name, role=BUTTON):
        self.find(window_name, name, role).queryAction().doAction(0)  # the first action is the press

    def text(self, name, window_name="IxoMp3"):
        node = lookup(self.process.pid, window_name, name)
        return node.queryText().getText(0, -1) if node else None

    def items(self, window_name="Zerrenda"):
        """The items of the window's list of the window's name; None while it is not shown."""
        found = lookup(self.process.pid, window_name, window_name, LIST)
        return [n.name.strip() for n in nodes(found) if n.getRoleName() == "list item"] if found else None

    def list_is(self, paths, window_name="Zerrenda"):
        within(10, f"the list {paths}", lambda: (self.items(window_name) == paths, self.items(window_name)))

    def through_dialog(self, title, path):
        # Set whole rather than typed: the completer's pop-up would take the keys after a "/".
        self.press(title, "File name:", framed=True, role="text").queryEditableText().setTextContents(path)
        run("xdotool", "key", "Return")

    def command(self, files):
        """The desktop entry's command line for these files (%F)."""
        line = next(line[5:] for line in ENTRY.read_text().splitlines() if line.startswith("Exec="))
        return [a for word in shlex.split(line) for a in (files if word == "%F" else [word])]

    def start(self, files=None, cwd=None, splash=False):
        self.process = subprocess.Popen(self.command(files) if files else [self.program], cwd=cwd or self.work,
                                        env=self.env)
        if splash:
            within(5, "the splash named", lambda: (window(self.process.pid, "Sarrera") is not None,
                                                   windows(self.process.pid)))
        self.alone()

    def alone(self):
        """Only the bar shows, above others and out of the task bar, in the work area's corner
        (below IceWM's task bar at the top)."""
        def probe():
            shown, area = mapped(), [int(n) for n in re.findall(r"\d+", run("xprop", "-root", "_NET_WORKAREA"))[:4]]
            state = shown and run("xprop", "-id", shown[0][0], "_NET_WM_STATE")
            return ([w[1:3] for w in shown] == [(212, 37)] and "_ABOVE" in state and "_SKIP_TASKBAR" in state
                    and (shown[0][3] + 212, shown[0][4] + 37) == (area[0] + area[2], area[1] + area[3]), (shown, area))
        within(15, "only the bar, above, out of the task bar, in the work area's corner", probe)

    def icon(self):
        return within(5, "only the tray icon", lambda: (len(m := mapped()) == 1 and m[0][1] < 100, m))[0]

    def double_click(self, icon):
        """A real double click on the tray icon. A tray that has only just embedded the icon, on a
        loaded machine, once let the first go by (1 walk in about 15), so it is made again."""
        for _ in range(3):
            click(icon[3] + icon[1] // 2, icon[4] + icon[2] // 2, repeat=2)
            try:
                return within(4, "the bar back", lambda: ((212, 37) in [w[1:3] for w in mapped()], None))
            except AssertionError:
                icon = self.icon()

    def ends(self, saved=None):
        """The program ends with 0, having written the list file with these songs, CR LF after each."""
        try:
            status = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("expected the program to end; it still runs") from None
        expected = saved and b"".join(os.fsencode(song) + b"\r\n" for song in saved)
        written = saved and pathlib.Path(self.list_file).read_bytes()
        fail_if(status != 0 or written != expected, f"expected status 0 and {expected!r}; saw {status}, {written!r}")

    def later(self, files, cwd=None):
        """A later start with these files; it must end at once, with status 0."""
        done = subprocess.run(self.command(files), cwd=cwd or self.elsewhere, env=self.env,
                              capture_output=True, text=True, timeout=30)
        fail_if(done.returncode != 0, f"expected the later start to end with 0; saw {done.returncode}: {done.stderr}")

    def mpris(self, interface=PLAYER):
        within(15, "the player on the bus", lambda: (self.bus.name_has_owner(MPRIS), self.bus.list_names()))
        return dbus.Interface(self.bus.get_object(MPRIS, "/org/mpris/MediaPlayer2"), interface)

    def get(self, name):
        return self.mpris(dbus.PROPERTIES_IFACE).Get(PLAYER, name)

    def announced(self, name, value):
        """Whether a PropertiesChanged since the last clear said name is value."""
        while GLib.MainContext.default().iteration(False):
            pass
        return any(name in change and value(change[name]) for change in self.changes)

    def playing(self):
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

    def state(self):
        return self.text("Abestia"), str(self.get("PlaybackStatus")), self.playing()

    def plays(self, counter, tone, what=None):
        within(10, what or f"{counter} playing {tone}", lambda: (self.state() == (counter, "Playing", tone), self.state()))

    def session(self):
        """In a user's session: files opened with it (its desktop entry's command line), later
        starts handing theirs to the one player, and MPRIS over the session bus."""
        self.tones(LONG)
        self.env["PATH"] = os.path.dirname(self.program) + os.pathsep + self.env["PATH"]
        self.elsewhere = os.path.join(self.work, "beste")
        os.makedirs(self.elsewhere)
        DBusGMainLoop(set_as_default=True)
        self.bus, self.changes = dbus.SessionBus(), []
        self.bus.add_signal_receiver(
            lambda interface, changed, _: self.changes.append(dict(changed)) if interface == PLAYER else None,
            "PropertiesChanged", dbus.PROPERTIES_IFACE, path="/org/mpris/MediaPlayer2")
        # Options print and end without a display.
        bare = {k: v for k, v in self.env.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        for arguments, status, line in PRINTS:
            done = subprocess.run([self.program, *arguments], env=bare, capture_output=True, text=True, timeout=10)
            if done.returncode != status or line not in (done.stdout + done.stderr).splitlines():
                raise AssertionError(f"{arguments}: expected {status} and {line!r}; saw {done.returncode}, "
                                     f"{done.stdout + done.stderr!r}")
        yield "options"

        # Opened with the program: the songs, named from the caller's folder, are appended, the
        # list is marked as changed, and the first is played.
        self.start([ONE + ".mp3", TWO + ".mp3"], cwd=os.path.join(self.work, "kantak"))
        self.press("IxoMp3", "Zerrenda")
        self.list_is([self.song[ONE], self.song[TWO]])
        self.find("Zerrenda", "Gorde")
        self.plays("1/2", ONE)
        yield "open with two songs"

        # A later start hands its song to the player and ends; the song is added and played,
        # and there is still one bar.
        self.later([os.path.join("..", "kantak", THREE + ".mp3")])
        self.list_is(self.songs)
        self.plays("3/3", THREE)
        fail_if(len([w for w in mapped() if w[1:3] == (212, 37)]) != 1, f"expected one bar; saw {mapped()}")
        song = self.get("Metadata")
        fail_if((song["xesam:title"], song["xesam:url"]) != (THREE, "file://" + self.song[THREE].replace(" ", "%20")),
                f"expected the third song's metadata; saw {dict(song)}")
        yield "later start with a song"

        # A file that is not there is refused in Basque, and nothing else changes.
        missing = "/nowhere/4 Laugarrena.mp3"
        self.later([missing])
        self.answer("Okerra", f"Ezin izan da ireki: {missing}: ez da aurkitu (No such file or directory)", "Ados")
        self.list_is(self.songs)
        self.plays("3/3", THREE, "still 3/3 playing")
        yield "missing file refused"

        # A list opens as the open button opens one: over unsaved changes the save question
        # comes first; once opened it plays from its first song.
        for number, (songs, answer, items, counter, tone) in enumerate(LISTS):
            path = os.path.join(self.work, f"zerrenda{number}.m3u")
            pathlib.Path(path).write_bytes(b"".join(os.fsencode(self.song[n]) + b"\r\n" for n in songs))
            self.later([path])
            if answer:
                self.answer("Ireki...", "Gorde nahi duzu zerrenda hau?", answer)
            self.list_is([self.song[n] for n in items])
            self.plays(counter, tone)
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
            fail_if(song["xesam:title"] != now or (expected != "Stopped" and abs(song["mpris:length"] - LONG * 1e6) > 1e5),
                    f"{method}: expected {now}, {LONG} s; saw {dict(song)}")
            if (bool(self.get("CanGoNext")), bool(self.get("CanGoPrevious"))) != (counter == "1/2", counter == "2/2"):
                raise AssertionError(f"{method}: CanGoNext/CanGoPrevious wrong at {counter}")
            status, title = expected, now
        for volume, shown, read in VOLUMES:
            self.changes.clear()
            self.mpris(dbus.PROPERTIES_IFACE).Set(PLAYER, "Volume", dbus.Double(volume))
            within(5, f"the bar showing {shown}", lambda: (self.text("Bolumena") == shown, self.text("Bolumena")))
            within(5, f"Volume {read} announced", lambda: (self.announced("Volume", lambda v: abs(v - read) < 1e-9),
                                                            self.changes))
        yield "MPRIS transport and volume"

        # With no files a later start brings the bar back from the tray, as Raise does, and as a
        # double click on the icon does after the window manager minimised the bar.
        minimise = lambda: self.press("IxoMp3", "Txikiagotu")  # noqa: E731
        for hide, bring_back in ((minimise, lambda _: self.later([])), (minimise, lambda _: self.mpris(ROOT).Raise()),
                                 (lambda: run("xdotool", "windowminimize", mapped()[0][0]),
                                  self.double_click)):
            hide()
            bring_back(self.icon())
            self.alone()
        yield "bar back from the tray"

        # Quit is the exit command: a changed list is offered for saving first, and Cancel
        # keeps the program running.
        self.later([self.song[TWO]])
        self.plays("3/3", TWO, "3/3 playing the added song")
        self.mpris(ROOT).Quit()
        self.answer("Irten...", ON_EXIT, "Utzi")
        time.sleep(1)
        fail_if(self.process.poll() is not None, "expected Cancel to keep the program running")
        self.mpris(ROOT).Quit()
        self.answer("Irten...", ON_EXIT, "Ez")
        self.ends()
        fail_if(self.bus.name_has_owner(MPRIS), "expected the player's name gone from the bus")
        yield "MPRIS quit asks first"

    def titled(self, what, *titles):
        """The window manager's titles of the program's mapped windows are these."""
        within(5, what, lambda: ((shown := sorted(w[5] for w in mapped())) == list(titles), shown))

    def keys(self, *keys):
        run("xdotool", "key", "--delay", "60", *keys)

    def focused(self):
        """The control with the focus; a list's current item reads as focused in any case."""
        return next(((w.name, n.name) for w in windows(self.process.pid) for n in nodes(w) if n is not w
                     and n.getRoleName() != "list item" and n.getState().contains(pyatspi.STATE_FOCUSED)), None)

    def tab_to(self, window_name, name, *then):
        """Presses Tab until the named control of that window has the focus, then the keys given."""
        for _ in range(16):
            if self.focused() == (window_name, name):
                return self.keys(*then) if then else None
            self.keys("Tab")
            time.sleep(0.2)
        raise AssertionError(f"expected Tab to reach {name!r} in {window_name!r}; the focus is on {self.focused()}")

    def begins(self, press):
        """Presses, then hears the first song and sees the bar playing it."""
        press()
        within(10, f"{ONE} heard on the bar", lambda: (
            (v := [self.playing()] + [self.text(n) for n in ("Abestia", "Izenburua")]) == [ONE, "1/3", ONE]
            and re.fullmatch(r"0:\d/1:0", self.text("Denbora")), v))

    def access(self):
        """By screen reader and keyboard alone: every window and control read over AT-SPI and
        pressed by its actions, then keys and no mouse."""
        self.tones(LONG)
        self.start(splash=True)
        # Each window comes up by a press action, named, with the window manager's title the
        # same, and holding its controls by name and role; the displays read their texts.
        for name, (opener, controls) in WINDOWS.items():
            if opener:
                self.act(*opener)
            for control, role in controls:
                self.find(name, control, role)
        self.titled("every title", *sorted(WINDOWS))
        fail_if([self.text(n) for n in ("Abestia", "Izenburua")] != ["0/0", "Ez dago abestirik..."],
                "expected the displays to read 0/0 and Ez dago abestirik...")
        for name, closer in CLOSED_BY.items():
            self.act(name, closer)
        self.titled("only the bar again", "IxoMp3")
        yield "names and roles"
        # From here on keys alone: to the playlist, the browser, the folder and its three songs,
        # added with Return in the file list.
        self.tab_to("IxoMp3", "Zerrenda", "space")
        self.tab_to("Zerrenda", "Gehitu", "space")
        self.tab_to("Artxiboak", "Karpeta")
        for _ in range(8):
            if any(n.name.strip() == "kantak" and n.getState().contains(pyatspi.STATE_SELECTED)
                   for n in nodes(self.find("Artxiboak", "Karpeta", LIST))):
                break
            self.keys("Down")
        self.keys("Return")
        self.list_is([f"{n}.mp3" for n in TONES], "Artxiboak")
        self.tab_to("Artxiboak", "Artxiboak", "ctrl+a", "Return")
        self.list_is(self.songs)
        yield "keys add three songs"
        # The press action on "Hasi" plays the first song; stopped, Space on "Hasi" plays it again.
        self.begins(lambda: self.act("IxoMp3", "Hasi"))
        self.act("IxoMp3", "Amaitu")
        within(5, "the time gone", lambda: (self.text("Denbora") == "", None))
        self.keys("Escape")
        self.titled("the playlist hidden", "IxoMp3")
        self.tab_to("IxoMp3", "Hasi")
        self.begins(lambda: self.keys("space"))
        yield "press action and Space play"
        # Exit asks in Basque, Return says "Bai", and the save dialog takes a typed name.
        self.tab_to("IxoMp3", "Irten", "space")
        self.find("Irten...", ON_EXIT)
        answers = sorted(n.name for n in nodes(window(self.process.pid, "Irten...")) if n.getRoleName() == BUTTON)
        fail_if(answers != ["Bai", "Ez", "Utzi"], f"expected the answers Bai, Ez, Utzi; saw {answers}")
        self.keys("Return")
        self.find("Gorde...", "File name:", "text")
        run("xdotool", "type", "--delay", "40", "nire.m3u")
        self.keys("Return")
        self.list_file = os.path.join(self.env["HOME"], "nire.m3u")
        self.ends(self.songs)
        yield "keys exit and save"


def main(scenario, program, work, shots):
    walk = Walk(program, work, shots)
    try:
        for number, title in enumerate(getattr(walk, scenario)(), 1):
            run("import", "-window", "root", os.path.join(shots, f"{number}-{title.replace(' ', '-')}.png"))
            print(f"ok {number} - {scenario}: {title}", flush=True)
        return 0
    except (AssertionError, subprocess.SubprocessError, OSError, dbus.DBusException) as failure:
        subprocess.run(["import", "-window", "root", os.path.join(shots, "FAILED.png")], check=False)
        print(f"FAIL: {scenario}: {failure}", flush=True)
        return 1
    finally:
        if walk.process and walk.process.poll() is None:
            walk.process.kill()


if __name__ == "__main__":
    if sys.argv[1] == "press":
        button = lookup(int(sys.argv[2]), sys.argv[3], sys.argv[4], BUTTON)
        sys.exit(not (button and button.queryAction().doAction(0)))
    sys.exit(main(*sys.argv[1:5]))
