#!/usr/bin/python3
"""How soon pause, resume and a volume step are heard, measured from outside, run by hand.

The program plays a steady tone, given on its command line, into a private PulseAudio null
sink; parec records the sink's monitor in 5 ms blocks, each stamped as it arrives. A command
goes over MPRIS (from this process, so no process start is counted) and the time from just
before the call to the first block that shows it is taken:

  pause      the first silent block after Pause
  resume     the first block of sound after Play
  volume     the first block whose level moved by more than half the step, after Volume is
             set from 1.0 to 0.5 (the bar's volume display then reads % 50)

Each is taken over several rounds; the median and the worst are printed, with mpg123's pause
and resume in its remote-control mode (-R, "PAUSE") beside them, into the same sink.

Usage: bench/response.py [build/bin] [rounds]
Needs: apt-get install xvfb dbus-daemon pulseaudio pulseaudio-utils mpg123 python3-dbus
       (run with /usr/bin/python3)
"""

import array
import math
import os
import shutil
import statistics
import subprocess
import sys
import threading
import time

import dbus

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "peers"))
from peers import Desktop, stop  # noqa: E402  (the same private X, bus and null sink)

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 10
RATE, BLOCK = 44100, 220  # 5 ms of mono 16-bit samples
PLAYER = "org.mpris.MediaPlayer2.Player"


class Monitor:
    """The sink's monitor as (arrival time, level) per block, level the blocks' RMS."""

    def __init__(self):
        self.blocks, self.lock = [], threading.Lock()
        self.process = subprocess.Popen(
            ["parec", "--device=null.monitor", "--raw", "--format=s16le", "--channels=1",
             f"--rate={RATE}", "--latency-msec=5"], stdout=subprocess.PIPE)
        threading.Thread(target=self.read, daemon=True).start()

    def read(self):
        while chunk := self.process.stdout.read(BLOCK * 2):
            samples = array.array("h", chunk)
            level = math.sqrt(sum(s * s for s in samples) / max(len(samples), 1))
            with self.lock:
                self.blocks.append((time.monotonic(), level))

    def after(self, start):
        with self.lock:
            return [(at, level) for at, level in self.blocks if at > start]

    def level(self, seconds):
        """The median level over the last seconds."""
        now = time.monotonic()
        with self.lock:
            return statistics.median(level for at, level in self.blocks if at > now - seconds)

    def first(self, start, test, timeout=2.0):
        """Seconds from start to the first block after it that passes the test."""
        deadline = start + timeout
        while time.monotonic() < deadline:
            for at, level in self.after(start):
                if test(level):
                    return at - start
            time.sleep(0.01)
        raise RuntimeError("nothing changed on the sink within 2 s")


def timed(monitor, command, test):
    """Seconds from the command to the first block passing test(level before the command)."""
    time.sleep(0.7)  # a steady stretch before each command
    before = monitor.level(0.5)
    start = time.monotonic()
    command()
    return monitor.first(start, lambda level: test(level, before))


def program_rounds(monitor, song, folder):
    bar = subprocess.Popen([os.path.join(BIN, "ixomp3"), song], cwd=folder,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        bus = dbus.SessionBus()
        deadline = time.monotonic() + 15
        while not bus.name_has_owner("org.mpris.MediaPlayer2.ixomp3"):
            if time.monotonic() > deadline:
                raise RuntimeError("the program never came on the bus")
            time.sleep(0.1)
        remote = bus.get_object("org.mpris.MediaPlayer2.ixomp3", "/org/mpris/MediaPlayer2")
        player = dbus.Interface(remote, PLAYER)
        properties = dbus.Interface(remote, dbus.PROPERTIES_IFACE)
        time.sleep(3)
        loud = monitor.level(1.0)
        found = {"pause": [], "resume": [], "volume": []}
        for _ in range(ROUNDS):
            found["pause"].append(timed(monitor, player.Pause, lambda v, _: v < loud * 0.05))
            found["resume"].append(timed(monitor, player.Play, lambda v, _: v > loud * 0.5))
            found["volume"].append(timed(
                monitor, lambda: properties.Set(PLAYER, "Volume", dbus.Double(0.5)),
                lambda v, before: abs(v - before) > before * 0.25))
            properties.Set(PLAYER, "Volume", dbus.Double(1.0))
        return found
    finally:
        stop(bar)


def mpg123_rounds(monitor, song):
    """mpg123 in its remote-control mode: "PAUSE" toggles pause."""
    reference = subprocess.Popen(["mpg123", "-q", "-R", "-o", "pulse"], stdin=subprocess.PIPE,
                                 stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, text=True)

    def say(line):
        reference.stdin.write(line + "\n")
        reference.stdin.flush()
    try:
        say(f"LOAD {song}")
        time.sleep(3)
        loud = monitor.level(1.0)
        found = {"pause": [], "resume": []}
        for _ in range(ROUNDS):
            found["pause"].append(timed(monitor, lambda: say("PAUSE"), lambda v, _: v < loud * 0.05))
            found["resume"].append(timed(monitor, lambda: say("PAUSE"), lambda v, _: v > loud * 0.5))
        return found
    finally:
        stop(reference)


def main():
    desktop = Desktop()
    monitor = None
    try:
        made = subprocess.run([os.path.join(BIN, "bench_playback"), "song", "120", "192", "440"],
                              capture_output=True, text=True, check=True).stdout.strip()
        song = shutil.copy(made, os.path.join(desktop.folder, "kanta.mp3"))
        monitor = Monitor()
        rows = {"IxoMp3": program_rounds(monitor, song, desktop.folder),
                "mpg123 -R": mpg123_rounds(monitor, song)}
    finally:
        if monitor:
            stop(monitor.process)
        desktop.close()
    print(f"\nfrom the command to the sink, {ROUNDS} rounds: median (worst), in ms")
    print("| player | pause | resume | volume step |")
    print("|---|---|---|---|")
    for name, found in rows.items():
        cells = [f"{statistics.median(found[k]) * 1000:.0f} ({max(found[k]) * 1000:.0f})"
                 if k in found else "—" for k in ("pause", "resume", "volume")]
        print(f"| {name} | " + " | ".join(cells) + " |")
    print(subprocess.run(["uptime"], capture_output=True, text=True).stdout.strip())


if __name__ == "__main__":
    main()
