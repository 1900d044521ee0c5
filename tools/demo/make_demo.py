#!/usr/bin/env python3
"""Builds the demo package that scripts/run opens: a dozen calls placed
relative to today (some past the retention limits), a locale list, and
recordings as WAV and WVC members, written with our own pkgtool and wvctool."""
import argparse
import datetime
import json
import math
import os
import shutil
import struct
import subprocess
import tempfile
import wave

CALLERS = ["+49 30 5550 1234", "+44 20 7946 0018", "+33 1 7010 4455", "+1 212 555 0142",
           "+41 44 668 1800", "+46 8 5050 3344"]
AGENTS = ["Agent Berger", "Agent Novak", "Agent Ricci", "Agent Olsen"]


def tone_wav(path, seconds, base, rate=8000):
    """A short two-tone recording, so that every call has something to show."""
    frames = bytearray()
    for i in range(int(seconds * rate)):
        t = i / rate
        envelope = 0.5 + 0.5 * math.sin(2 * math.pi * 0.7 * t)
        value = 9000 * envelope * (math.sin(2 * math.pi * base * t) + 0.4 * math.sin(2 * math.pi * base * 1.5 * t))
        frames += struct.pack("<h", int(max(-32768, min(32767, value))))
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(rate)
        out.writeframes(bytes(frames))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--pkgtool", required=True)
    parser.add_argument("--wvctool", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="vorn-demo-")
    try:
        data = os.path.join(root, "app", "js", "data")
        wave_dir = os.path.join(root, "app", "wave")
        os.makedirs(data)
        os.makedirs(wave_dir)
        now = datetime.datetime.now().replace(microsecond=0)
        calls = []
        for n in range(12):
            start = now - datetime.timedelta(days=n * 6, hours=n, minutes=7 * n)
            duration = 4 + n % 3
            name = "call%03d" % (n + 1)
            wav = os.path.join(tempfile.gettempdir(), name + ".wav") if n % 2 == 0 else os.path.join(wave_dir, name + ".wav")
            tone_wav(wav, duration, 300 + 40 * n)
            if n % 2 == 0:
                subprocess.run([args.wvctool, "encode", wav, os.path.join(wave_dir, name + ".wvc"), "--codec", "PCM16",
                                "--meta", "call_id=%d" % (1000 + n)], check=True, stdout=subprocess.DEVNULL)
                os.remove(wav)
            calls.append({
                "id": 1000 + n,
                "time_start": start.strftime("%Y-%m-%d %H:%M:%S"),
                "direction": "in" if n % 3 else "out",
                "caller": CALLERS[n % len(CALLERS)],
                "callee": "+49 89 2000 %04d" % (100 + n),
                "agent": AGENTS[n % len(AGENTS)],
                "duration": duration,
                "flags": 0x18 | (0x00400000 if n == 9 else 0),
                "voice": name,
            })
        with open(os.path.join(data, "calls.js"), "w", encoding="utf-8") as out:
            out.write("var gCalls = [\n" + ",\n".join(json.dumps(c) for c in calls) + "\n];\n")
        with open(os.path.join(data, "locales.js"), "w", encoding="utf-8") as out:
            out.write('var gLocales = {\n"de_DE": "Deutsch",\n"en_GB": "English",\n"fr_FR": "Fran\u00e7ais"\n};\n')
        settings = ";".join([
            "default_locale=en_GB",
            "storage_time_normal_cdr=45",
            "storage_time_normal_voice=20",
            "storage_time_marked_cdr=365",
            "storage_time_marked_voice=365",
            "package_call_expiration=authority_override",
            "authority_password=demo",
        ])
        os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
        subprocess.run([args.pkgtool, "create", args.out, "--root", root, "--settings", settings], check=True)
    finally:
        shutil.rmtree(root)


if __name__ == "__main__":
    main()
