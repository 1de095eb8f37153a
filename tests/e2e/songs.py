#!/usr/bin/python3
"""Makes the walk's songs: steady tones, each its own pitch, encoded by lame.

Usage: songs.py <folder> <seconds> name=frequency...
"""

import math
import os
import struct
import subprocess
import sys

folder, seconds = sys.argv[1], float(sys.argv[2])
os.makedirs(folder, exist_ok=True)
for spec in sys.argv[3:]:
    name, frequency = spec.rsplit("=", 1)
    step = 2 * math.pi * float(frequency) / 44100
    samples = b"".join(struct.pack("<hh", s, s) for s in (int(12000 * math.sin(step * i))
                                                         for i in range(int(44100 * seconds))))
    subprocess.run(["lame", "--quiet", "-r", "-s", "44.1", "--bitwidth", "16", "--signed",
                    "--little-endian", "-b", "128", "-", os.path.join(folder, name + ".mp3")],
                   input=samples, check=True)
