#!/usr/bin/python3
"""Walks IxoMp3's main road from outside: xdotool's mouse, the texts over AT-SPI, the files and
the sound SDL's disk driver wrote. Usage: walk.py <program> <work folder> <screenshot folder>"""

import math, os, pathlib, re, struct, subprocess, sys, time  # noqa: E401

import pyatspi

RATE, FRAME, BLOCK = 44100, 8, 2048  # the device's stereo 32-bit float frames
TONES = {"1 Lehena": 440.0, "2 Bigarrena": 660.0, "3 Hirugarrena": 990.0}


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
        if time.monotonic() > deadline:
            raise AssertionError(f"expected {what}; saw {seen}")
        time.sleep(0.05)


def click(x, y, repeat=1, keys=(), button="1"):
    """Clicks, then leaves the pointer off the program, whose tooltips would count as windows."""
    run("xdotool", "mousemove", str(x), str(y), *[a for k in keys for a in ("keydown", k)],
        "click", "--repeat", str(repeat), "--delay", "80", button,
        *[a for k in keys for a in ("keyup", k)], "mousemove", "100", "400")


def named(node, name):
    return node.name.replace("&", "").strip() == name


def mapped():
    """(xid, width, height, x, y) of each of the program's mapped X windows."""
    found = []
    for line in run("xwininfo", "-root", "-tree").splitlines():
        if '"ixomp3" "IxoMp3"' in line and "IsViewable" in run("xwininfo", "-id", line.split()[0]):
            w, h = (int(n) for n in line.split()[-2].split("+")[0].split("x"))
            found.append((line.split()[0], w, h, *(int(n) for n in line.split()[-1].split("+")[1:])))
    return found


def nodes(root):
    stack = [root]
    while stack:
        node = stack.pop()
        if node is not None:
            yield node
            stack.extend(node.getChildAtIndex(i) for i in reversed(range(node.childCount)))


def block_tone(chunk):
    """The song whose tone a block of output holds, told by its zero crossings; None if quiet."""
    left = struct.unpack(f"<{BLOCK * 2}f", chunk)[0::2]
    rate = sum(a < 0 <= b or b < 0 <= a for a, b in zip(left, left[1:])) * RATE / 2 / BLOCK
    return min(TONES, key=lambda n: abs(TONES[n] - rate)) if max(left) > 0.1 else None


def tone_runs(raw, cache):
    """The songs heard, in order: each block's tone, in runs of two."""
    with open(raw, "rb") as data:
        data.seek(len(cache) * BLOCK * FRAME)
        while len(chunk := data.read(BLOCK * FRAME)) == BLOCK * FRAME:
            cache.append(block_tone(chunk))
    runs = []
    for before, tone in zip(cache, cache[1:]):
        if tone and tone == before and runs[-1:] != [tone]:
            runs.append(tone)
    return runs


class Walk:
    def __init__(self, program, work, seconds=2):
        # Steady tones, each its own pitch, so that the output tells which song was heard.
        os.makedirs(os.path.join(work, "kantak"))
        for name, frequency in TONES.items():
            # Each tone fits a second in whole periods, so one second repeated is one steady tone.
            wave = (int(12000 * math.sin(2 * math.pi * frequency * i / RATE)) for i in range(RATE))
            subprocess.run(["lame", "--quiet", "-r", "-s", "44.1", "--signed", "--little-endian", "-",
                            os.path.join(work, "kantak", name + ".mp3")],
                           input=b"".join(struct.pack("<hh", v, v) for v in wave) * seconds, check=True)
        self.songs = [os.path.join(work, "kantak", n + ".mp3") for n in TONES]
        self.list_file, self.raw = os.path.join(work, "nire zerrenda.m3u"), os.path.join(work, "audio.raw")
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.raw)
        self.program, self.work, self.env, self.process = program, work, env, None

    def windows(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
            if app is not None and app.get_process_id() == self.process.pid:
                app.clear_cache()
                return [app.getChildAtIndex(i) for i in range(app.childCount)]
        return []

    def window_with(self, name):
        return next((w for w in self.windows() if any(named(n, name) for n in nodes(w))), None)

    def find(self, window_name, name, role=None):
        """A shown control of that name in the window holding a control named window_name."""
        return within(15, f"{name!r} shown", lambda: (lambda b: (b is not None, b))(next(
            (n for n in nodes(self.window_with(window_name)) if named(n, name) and n.getState().contains(pyatspi.STATE_SHOWING)
             and role in (None, n.getRoleName())), None)))

    def press(self, window_name, name, title=None, role=None, repeat=1, keys=()):
        # Qt places the controls of a window IceWM framed as if there were no frame.
        node = self.find(window_name, name, role)
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x, y = box.x + box.width // 2, box.y + box.height // 2
        if title:
            window = node
            while window.parent.getRoleName() != "application":
                window = window.parent
            box = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            at = run("xdotool", "search", "--sync", "--onlyvisible", "--name", f"^{re.escape(title)}$",
                     "getwindowgeometry").split("Position: ")[1].split()[0].split(",")
            x, y = x + int(at[0]) - box.x, y + int(at[1]) - box.y
        click(x, y, repeat, keys)
        return node

    def items(self):
        lists = [n for n in nodes(self.window_with("Berria")) if n.getRoleName() == "list"]
        return [n.name for n in nodes(lists[0]) if n.getRoleName() == "list item"] if lists else None

    def through_dialog(self, title, path):
        # Set whole rather than typed: the completer's pop-up would take the keys after a "/".
        self.press(title, "File name:", title, "text").queryEditableText().setTextContents(path)
        run("xdotool", "key", "Return")

    def start(self):
        self.process = subprocess.Popen([self.program], cwd=self.work, env=self.env)
        within(15, "only the bar", lambda: ([w[1:3] for w in mapped()] == [(212, 37)], mapped()))

    def steps(self):
        self.start()
        # Songs chosen in the browser with a shift click reach the list with their folder.
        self.press("Irten", "Zerrenda")
        self.press("Berria", "Gehitu")
        self.press("kantak", "kantak", repeat=2)
        self.press("1 Lehena.mp3", "1 Lehena.mp3")
        self.press("1 Lehena.mp3", "3 Hirugarrena.mp3", keys=("shift",))
        self.press("3 Hirugarrena.mp3", "Gehitu")
        within(5, "the three songs", lambda: (self.items() == self.songs, self.items()))
        yield "add three songs"
        # Play runs through the list in its order, each song handing over to the next, and
        # stops after the last.
        self.press("Irten", "Hasi")
        cache, sizes = [], []
        within(40, "the three tones in order, then the output still", lambda: (
            sizes.append(os.path.getsize(self.raw)) or tone_runs(self.raw, cache) == list(TONES)
            and len(sizes) > 20 and sizes[-1] == sizes[-20], tone_runs(self.raw, cache)))
        yield "play through"
        # At exit the unsaved list is offered for saving; yes writes it byte-exact, CR LF after
        # each path, and ends the program.
        self.press("Irten", "Irten")
        self.press("Gorde nahi duzu irten aurretik zerrenda hau?", "Bai", title="Irten...")
        self.through_dialog("Gorde...", self.list_file)
        self.ends()
        yield "exit saves"
        # The saved list opens whole in a new run, which ends without a question.
        self.start()
        self.press("Irten", "Zerrenda")
        self.press("Berria", "Ireki")
        self.through_dialog("Ireki...", self.list_file)
        within(5, "the songs back", lambda: (self.items() == self.songs, self.items()))
        self.press("Irten", "Irten")
        self.ends()
        yield "reopen"

    def ends(self):
        saved = b"".join(os.fsencode(song) + b"\r\n" for song in self.songs)
        try:
            status = self.process.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("expected the program to end; it still runs") from None
        if status != 0 or pathlib.Path(self.list_file).read_bytes() != saved:
            raise AssertionError(f"expected status 0 and {saved!r}; saw {status}, "
                                 f"{pathlib.Path(self.list_file).read_bytes()!r}")


def main(kind=Walk):
    walk, shots = kind(*sys.argv[1:3]), sys.argv[3]
    try:
        for number, title in enumerate(walk.steps(), 1):
            run("import", "-window", "root", os.path.join(shots, f"{number}-{title.replace(' ', '-')}.png"))
            print(f"ok {number} - {title}", flush=True)
        return 0
    except (AssertionError, subprocess.SubprocessError, OSError) as failure:
        subprocess.run(["import", "-window", "root", os.path.join(shots, "FAILED.png")], check=False)
        print(f"FAIL: {failure}", flush=True)
        return 1
    finally:
        if walk.process and walk.process.poll() is None:
            walk.process.kill()


if __name__ == "__main__":
    sys.exit(main())
