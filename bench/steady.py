#!/usr/bin/python3
"""The program in its steady states, measured from outside beside mpg123, run by hand.

One run: the bar idle (started with no files); then a long song given on the command line, as
"Open with" gives it, playing into a private PulseAudio null sink; then paused (over MPRIS);
then playing again after the playlist, the file browser, the about window and the open and save
dialogs have each been opened and closed once (pressed over AT-SPI, as a screen reader would);
last, with the program gone, mpg123 playing the same song into the same sink. Each plays alone:
a sink runs at the shortest latency any of its streams asks for, so a player beside another
would be paid for by both. Each state is left to settle for the warm-up, then measured:

  CPU       user + system seconds per 60 s, from /proc/<pid>/stat
  wake-ups  voluntary context switches per second over all threads (a thread going to sleep
            and being woken), from /proc/<pid>/task/*/status; preemptions are left out, since
            they count the machine's load rather than the program
  memory    resident set at the end of the state (VmRSS)

Medians over the runs; CPU and wake-ups while playing are also given as a ratio to mpg123's in
the same run.

Usage: bench/steady.py [build/bin] [runs] [seconds per state] [warm-up seconds]
Needs: apt-get install xvfb dbus-daemon pulseaudio pulseaudio-utils mpg123 at-spi2-core
       python3-pyatspi (run with /usr/bin/python3)
"""

import os
import shutil
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "peers"))
from peers import Desktop, stop  # noqa: E402  (the same private X, bus and null sink)

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
SECONDS = float(sys.argv[3]) if len(sys.argv) > 3 else 60
WARMUP = float(sys.argv[4]) if len(sys.argv) > 4 else 10
TICKS = os.sysconf("SC_CLK_TCK")
STATES = ("idle", "playing", "paused", "after the windows")


class Sample:
    """CPU seconds, wake-ups and resident memory of one process at one moment."""

    def __init__(self, pid):
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        self.cpu = (int(fields[11]) + int(fields[12])) / TICKS
        self.switches = 0
        for task in os.listdir(f"/proc/{pid}/task"):
            try:
                with open(f"/proc/{pid}/task/{task}/status") as status:
                    self.switches += sum(int(line.split()[1]) for line in status
                                         if line.startswith("voluntary_ctxt_switches:"))
            except FileNotFoundError:  # a thread that ended meanwhile
                pass
        with open(f"/proc/{pid}/status") as status:
            self.rss = next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))
        self.at = time.monotonic()


def measure(pids):
    """{pid: (CPU per 60 s, wake-ups per second, resident MB)} over SECONDS after the warm-up."""
    time.sleep(WARMUP)
    before = {pid: Sample(pid) for pid in pids}
    time.sleep(SECONDS)
    after = {pid: Sample(pid) for pid in pids}
    figures = {}
    for pid in pids:
        span = after[pid].at - before[pid].at
        figures[pid] = ((after[pid].cpu - before[pid].cpu) * 60 / span,
                        (after[pid].switches - before[pid].switches) / span, after[pid].rss / 1024)
    return figures


def mpris(method):
    subprocess.run(["dbus-send", "--session", "--type=method_call",
                    "--dest=org.mpris.MediaPlayer2.ixomp3", "/org/mpris/MediaPlayer2",
                    f"org.mpris.MediaPlayer2.Player.{method}"], check=True)


class Reader:
    """Finds the program's controls by name over AT-SPI and presses them."""

    def __init__(self, pid):
        import pyatspi
        from gi.repository import Atspi
        Atspi.set_timeout(2000, 15000)
        self.atspi, self.pid = pyatspi, pid

    def nodes(self):
        desktop = self.atspi.Registry.getDesktop(0)
        for app in (desktop.getChildAtIndex(i) for i in range(desktop.childCount)):
            if app is not None and app.get_process_id() == self.pid:
                app.clear_cache()
                stack = [app]
                while stack:
                    node = stack.pop()
                    if node is not None:
                        yield node
                        stack.extend(node.getChildAtIndex(i) for i in range(node.childCount))

    def find(self, name, role=None):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            try:
                for node in self.nodes():
                    if node.name.replace("&", "").strip() == name \
                            and node.getState().contains(self.atspi.STATE_SHOWING) \
                            and role in (None, node.getRoleName()):
                        return node
            except Exception:  # the tree changes under us while windows come and go
                pass
            time.sleep(0.1)
        raise RuntimeError(f"no {name!r} shown")

    def press(self, name, opens_dialog=False):
        try:
            self.find(name, "push button").queryAction().doAction(0)
        except Exception:
            # A press that opens a dialog is answered only once the dialog closes.
            if not opens_dialog:
                raise
        time.sleep(0.5)

    def type_into(self, name, text):
        self.find(name, "text").queryEditableText().setTextContents(text)


def use_every_window(reader, folder):
    """Opens and closes each window and dialog once, the list saved on the way so that the open
    dialog comes without the question about an unsaved list."""
    reader.press("Zerrenda")
    reader.press("Gorde", opens_dialog=True)
    reader.type_into("File name:", os.path.join(folder, "zerrenda.m3u"))
    reader.press("Save")
    reader.press("Ireki", opens_dialog=True)
    reader.press("Cancel")
    reader.press("Gehitu")
    reader.press("Itxi")  # the browser's, which stands over the playlist
    reader.press("Itxi")
    reader.press("Egilea")
    reader.press("Ados!")


def one_run(folder, song):
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # With the list an earlier run saved, the save dialog meets a file already there, and every
    # run after the first measured 2.5 MB more than the first.
    if os.path.exists(os.path.join(folder, "zerrenda.m3u")):
        os.remove(os.path.join(folder, "zerrenda.m3u"))
    rows = {}
    idle = subprocess.Popen([os.path.join(BIN, "ixomp3")], cwd=folder, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    rows["idle"] = measure([idle.pid])[idle.pid]
    stop(idle)
    bar = subprocess.Popen([os.path.join(BIN, "ixomp3"), song], cwd=folder, env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        rows["playing"] = measure([bar.pid])[bar.pid]
        mpris("Pause")
        rows["paused"] = measure([bar.pid])[bar.pid]
        mpris("Play")
        use_every_window(Reader(bar.pid), folder)
        rows["after the windows"] = measure([bar.pid])[bar.pid]
    finally:
        stop(bar)
    reference = subprocess.Popen(["mpg123", "-q", "-o", "pulse", song],
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        rows["mpg123"] = measure([reference.pid])[reference.pid]
    finally:
        stop(reference)
    return rows


def main():
    desktop = Desktop()
    # a11y: Qt only speaks AT-SPI once this bus answers.
    desktop.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    try:
        seconds = int(4 * (WARMUP + SECONDS) + 60)
        made = subprocess.run([os.path.join(BIN, "bench_playback"), "song", str(seconds), "192",
                               "440"], capture_output=True, text=True, check=True).stdout.strip()
        song = shutil.copy(made, os.path.join(desktop.folder, "kanta.mp3"))
        runs = []
        for run in range(RUNS):
            runs.append(one_run(desktop.folder, song))
            print(f"run {run + 1}: " + "; ".join(
                f"{state} {cpu:.3f} s/min {wake:.0f}/s {rss:.1f} MB"
                for state, (cpu, wake, rss) in runs[-1].items()), flush=True)
    finally:
        desktop.close()

    def mid(state, index):
        return statistics.median(run[state][index] for run in runs)
    print(f"\nmedians of {RUNS} runs, {SECONDS:.0f} s per state after {WARMUP:.0f} s to settle")
    print("| state | CPU per 60 s | wake-ups per second | resident memory |")
    print("|---|---|---|---|")
    for state in STATES:
        print(f"| {state} | {mid(state, 0):.3f} s | {mid(state, 1):.0f} | {mid(state, 2):.1f} MB |")
    print(f"| mpg123 playing | {mid('mpg123', 0):.3f} s | {mid('mpg123', 1):.0f} | "
          f"{mid('mpg123', 2):.1f} MB |")
    for state in ("playing", "after the windows"):
        cpu = statistics.median(run[state][0] / run["mpg123"][0] for run in runs)
        wake = statistics.median(run[state][1] / run["mpg123"][1] for run in runs)
        print(f"{state}: CPU {cpu:.2f} x mpg123's, wake-ups {wake:.2f} x (median ratio per run)")
    print(subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip())


if __name__ == "__main__":
    main()
