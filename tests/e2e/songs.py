#!/usr/bin/python3
"""Makes the walk's songs: steady tones, each its own pitch, encoded by lame.

Usage: songs.py <folder> <seconds> name=frequency...
"""

import math
import os
import struct
import subprocess
import sys
import tempfile
import wave

RATE = 44100


def tone_wav(path, frequency, seconds):
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        step = 2 * math.pi * frequency / RATE
        frames = bytearray()
        for index in range(int(RATE * seconds)):
            sample = int(12000 * math.sin(step * index))
            frames += struct.pack("<hh", sample, sample)
        out.writeframes(bytes(frames))


def main():
    folder, seconds = sys.argv[1], float(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    with tempfile.TemporaryDirectory() as scratch:
        for spec in sys.argv[3:]:
            name, frequency = spec.rsplit("=", 1)
            wav = os.path.join(scratch, "tone.wav")
            tone_wav(wav, float(frequency), seconds)
            subprocess.run(["lame", "--quiet", "-b", "128", wav, os.path.join(folder, name + ".mp3")],
                           check=True)


if __name__ == "__main__":
    main()
