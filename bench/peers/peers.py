#!/usr/bin/python3
"""IxoMp3 beside other players on the same generated songs, in one run, run by hand.

All sound goes into one PulseAudio null sink this script starts, in real time; the windows go
to an Xvfb server of its own without a window manager. For each player:

  cpu     CPU seconds and peak resident memory to play a 60 s, 192 kbps song (median of runs)
  window  time from launch to its first window mapped on the X server (median of runs)
  gaps    silence between 20 consecutive 3 s songs, read from the null sink's monitor
  list    time from launch to the first sound with a 32,767-line playlist, less the same with a
          one-line playlist (median of runs)

Every player is the real program, given the songs or the playlist on its command line. Those
that do not end by themselves when the last song has played (IxoMp3, qmmp) are stopped a few
seconds after it, and that idle time is counted too.

Usage: bench/peers/peers.py [build/bin] [runs] [player,player...]   (all players by default)
Needs: apt-get install xvfb dbus-daemon pulseaudio pulseaudio-utils mpg123 mpv qmmp audacious time
"""

import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 3
ONLY = sys.argv[3].split(",") if len(sys.argv) > 3 else None
RATE = 44100
LIST_LINES = 32767


def players():
    """name -> (command for songs or a playlist, command for the first window, quits by itself)"""
    ixomp3 = os.path.join(BIN, "ixomp3")
    mpv = ["mpv", "--no-config", "--really-quiet", "--force-window=yes", "--ao=pulse"]
    return {
        "IxoMp3": (lambda files: [ixomp3, *files], [ixomp3], False),
        "mpg123": (lambda files: ["mpg123", "-q", "-o", "pulse",
                                  *(["-@", files[0]] if files[0].endswith(".m3u") else files)],
                   None, True),
        "mpv": (lambda files: mpv + files, mpv + ["--idle=yes"], True),
        "qmmp": (lambda files: ["qmmp", *files], ["qmmp"], False),
        "audacious (GTK)": (lambda files: ["audacious", "-G", "-q", *files], ["audacious", "-G"],
                            True),
        "audacious (Qt)": (lambda files: ["audacious", "-Q", "-q", *files], ["audacious", "-Q"],
                           True),
    }


class Desktop:
    """Xvfb, a session bus and PulseAudio with a null sink, all private to this run."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="ixomp3-peers-")
        self.processes = []
        env = os.environ
        env["HOME"] = os.path.join(self.folder, "home")
        env["XDG_RUNTIME_DIR"] = os.path.join(self.folder, "run")
        os.makedirs(env["HOME"])
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700)
        env.pop("QT_QPA_PLATFORM", None)
        env["QT_QPA_PLATFORM"] = "xcb"
        # IxoMp3 reaches the server its own way unless SDL_AUDIODRIVER=pulseaudio is given,
        # which measures SDL's way to the same server.
        display = next(n for n in range(60, 99) if not os.path.exists(f"/tmp/.X{n}-lock"))
        env["DISPLAY"] = f":{display}"
        self.start(["Xvfb", env["DISPLAY"], "-screen", "0", "1024x768x24", "-nolisten", "tcp"])
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1",
                              "--print-pid=1"], capture_output=True, text=True, check=True)
        address, pid = bus.stdout.split()[:2]
        env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.bus_pid = int(pid)
        subprocess.run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1",
                        "--load=module-null-sink sink_name=null",
                        "--load=module-native-protocol-unix"], check=True,
                       stderr=subprocess.DEVNULL)
        subprocess.run(["pactl", "set-default-sink", "null"], check=True)
        self.configure_qmmp()
        time.sleep(1)

    def configure_qmmp(self):
        folder = os.path.join(os.environ["HOME"], ".config", "qmmp")
        os.makedirs(folder)
        with open(os.path.join(folder, "qmmprc"), "w") as config:
            config.write("[Output]\ncurrent_plugin=pulseaudio\n")

    def start(self, command):
        self.processes.append(subprocess.Popen(command, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))

    def close(self):
        subprocess.run(["pulseaudio", "--kill"], check=False, stderr=subprocess.DEVNULL)
        for process in self.processes:
            process.terminate()
            process.wait()
        os.kill(self.bus_pid, 15)
        shutil.rmtree(self.folder, ignore_errors=True)


def sink_inputs():
    return subprocess.run(["pactl", "list", "short", "sink-inputs"], capture_output=True,
                          text=True).stdout.strip()


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def make_songs(folder):
    playback = os.path.join(BIN, "bench_playback")

    def song(seconds, frequency):
        made = subprocess.run([playback, "song", str(seconds), "192", str(frequency)],
                              capture_output=True, text=True, check=True).stdout.strip()
        target = os.path.join(folder, f"{seconds}s-{frequency}Hz.mp3")
        shutil.copy(made, target)
        return target
    minute = song(60, 440)
    short = [song(3, 300 + 20 * index) for index in range(1, 21)]
    long_list = os.path.join(folder, "long.m3u")
    with open(long_list, "w") as out:
        out.writelines(short[index % len(short)] + "\n" for index in range(LIST_LINES))
    one_line = os.path.join(folder, "one.m3u")
    with open(one_line, "w") as out:
        out.write(short[0] + "\n")
    return minute, short, long_list, one_line


def cpu_and_memory(command, quits, seconds):
    """Plays to the end (or for the song's length and a little more) under /usr/bin/time."""
    report = tempfile.mktemp()
    process = subprocess.Popen(["/usr/bin/time", "-o", report, "-f", "%U %S %M",
                                "timeout", "-k", "3", str(seconds + 6), *command],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(5)
    heard = bool(sink_inputs())
    process.wait()
    with open(report) as figures:
        user, system, peak = figures.read().split()[-3:]
    os.unlink(report)
    return float(user) + float(system), int(peak) / 1024, heard


def first_window(command):
    if command is None:
        return None
    result = subprocess.run([os.path.join(BIN, "bench_startup"), "--first-window", str(RUNS),
                             *command], capture_output=True, text=True, timeout=120)
    return float(result.stdout) if result.returncode == 0 else None


def recorded_gaps(command, quits, seconds):
    """Silent stretches between the first and the last sound on the sink's monitor."""
    recording = tempfile.mktemp()
    with open(recording, "wb") as out:
        recorder = subprocess.Popen(["parec", "-d", "null.monitor", "--raw", "--format=s16le",
                                     f"--rate={RATE}", "--channels=2"], stdout=out)
        time.sleep(0.5)
        player = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            player.wait(seconds + 10)
        except subprocess.TimeoutExpired:
            pass
        stop(player)
        time.sleep(0.5)
        stop(recorder)
    with open(recording, "rb") as raw:
        data = raw.read()
    os.unlink(recording)
    left = struct.unpack(f"<{len(data) // 2}h", data[: len(data) // 4 * 4])[0::2]
    loud = [index for index, sample in enumerate(left) if abs(sample) > 3]
    if not loud:
        return None
    gaps, run = [], 0
    for sample in left[loud[0]:loud[-1]]:
        if abs(sample) <= 3:
            run += 1
            continue
        if run > 8:
            gaps.append(run)
        run = 0
    return sum(gaps) * 1000 / RATE, (max(gaps) if gaps else 0) * 1000 / RATE, \
        (loud[-1] - loud[0]) / RATE


def time_to_sound(command):
    began = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    elapsed = None
    while time.monotonic() - began < 60:
        if sink_inputs():
            elapsed = time.monotonic() - began
            break
        time.sleep(0.005)
    stop(process)
    while sink_inputs():
        time.sleep(0.1)
    return elapsed


def median(values):
    values = [value for value in values if value is not None]
    return statistics.median(values) if values else None


def measure(name, play, window, quits, songs):
    minute, short, long_list, one_line = songs
    costs = [cpu_and_memory(play([minute]), quits, 60) for _ in range(RUNS)]
    gaps = recorded_gaps(play(short), quits, 60)
    long_times = [time_to_sound(play([long_list])) for _ in range(RUNS)]
    one_times = [time_to_sound(play([one_line])) for _ in range(RUNS)]
    list_ms = None
    if median(long_times) is not None and median(one_times) is not None:
        list_ms = (median(long_times) - median(one_times)) * 1000
    row = {
        "cpu": median([cost[0] for cost in costs]),
        "peak": median([cost[1] for cost in costs]),
        "heard": all(cost[2] for cost in costs),
        "window": first_window(window),
        "gaps": gaps,
        "list": list_ms,
        "runs": costs,
    }
    print(f"{name}: {row}", flush=True)
    return row


def table(rows):
    def show(value, unit, digits=2):
        return "n/a" if value is None else f"{value:.{digits}f} {unit}"
    print("\n| player | CPU, 60 s at 192 kbps | peak memory | launch to first window | "
          "silence per change of song (longest) | 32,767-line playlist |")
    print("|---|---|---|---|---|---|")
    for name, row in rows.items():
        gaps = row["gaps"]
        gap_text = "n/a" if gaps is None else f"{gaps[0] / 19:.1f} ms ({gaps[1]:.1f} ms)"
        heard = "" if row["heard"] else " (no sound reached the sink!)"
        print(f"| {name} | {show(row['cpu'], 's')}{heard} | {show(row['peak'], 'MB', 1)} | "
              f"{show(row['window'], 'ms', 0)} | {gap_text} | {show(row['list'], 'ms', 0)} |")


def main():
    desktop = Desktop()
    try:
        songs = make_songs(desktop.folder)
        rows = {}
        for name, (play, window, quits) in players().items():
            if ONLY and name not in ONLY:
                continue
            rows[name] = measure(name, play, window, quits, songs)
        print(f"\n{RUNS} runs each; load average before and after: see uptime below")
        table(rows)
    finally:
        desktop.close()
    print(subprocess.run(["uptime"], capture_output=True, text=True).stdout)


if __name__ == "__main__":
    main()
