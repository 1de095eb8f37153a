#!/usr/bin/python3
"""Where the program's resident memory sits, mapping by mapping, run by hand.

The states of bench/steady.py, on the same private X, bus and null sink, each held a few
seconds: idle (no files), playing (a song on the command line), and playing again after every
window and dialog has been opened and closed once. For each state the resident kilobytes of
each mapping of /proc/<pid>/smaps, summed by file (anonymous mappings by their kind), the
largest first; then what each state added to the one before.

Usage: bench/mappings.py [build/bin] [rows]
Needs: what bench/steady.py needs (run with /usr/bin/python3)
"""

import collections
import os
import shutil
import subprocess
import sys
import time

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
ROWS = int(sys.argv[2]) if len(sys.argv) > 2 else 15
sys.argv[1:] = [BIN]  # steady.py reads its own arguments as it is imported
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from steady import Desktop, Reader, stop, use_every_window  # noqa: E402


def mappings(pid):
    """{mapping: resident kB}: files by their base name, the rest as smaps names them."""
    sizes, name = collections.Counter(), "[anon]"
    with open(f"/proc/{pid}/smaps") as smaps:
        for line in smaps:
            fields = line.split()
            if not fields[0].endswith(":"):  # a mapping's own line, not one of its figures
                name = " ".join(fields[5:]) or "[anon]"
                name = os.path.basename(name) if name.startswith("/") else name
            elif fields[0] == "Rss:":
                sizes[name] += int(fields[1])
    return sizes


def show(state, sizes, before):
    print(f"\n{state}: {sum(sizes.values()) / 1024:.1f} MB resident")
    for name, kb in sizes.most_common(ROWS):
        print(f"  {kb:6d} kB  {name}")
    if before is not None:
        grown = {name: sizes[name] - before[name] for name in set(sizes) | set(before)}
        print(f"  added to the state before ({sum(grown.values()) / 1024:+.1f} MB):")
        for name, kb in sorted(grown.items(), key=lambda item: -abs(item[1]))[:ROWS]:
            print(f"  {kb:+6d} kB  {name}")


def main():
    desktop = Desktop()
    # Qt only speaks AT-SPI, through which the windows are opened, once this bus answers.
    desktop.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    try:
        made = subprocess.run([os.path.join(BIN, "bench_playback"), "song", "300", "192", "440"],
                              capture_output=True, text=True, check=True).stdout.strip()
        song = shutil.copy(made, os.path.join(desktop.folder, "kanta.mp3"))
        idle = subprocess.Popen([os.path.join(BIN, "ixomp3")], cwd=desktop.folder, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(8)
        states = [("idle", mappings(idle.pid))]
        stop(idle)
        bar = subprocess.Popen([os.path.join(BIN, "ixomp3"), song], cwd=desktop.folder, env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(10)
            states.append(("playing", mappings(bar.pid)))
            use_every_window(Reader(bar.pid), desktop.folder)
            time.sleep(5)
            states.append(("after the windows", mappings(bar.pid)))
        finally:
            stop(bar)
    finally:
        desktop.close()
    before = None
    for state, sizes in states:
        show(state, sizes, before)
        before = sizes


if __name__ == "__main__":
    main()
