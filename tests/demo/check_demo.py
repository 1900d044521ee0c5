#!/usr/bin/env python3
"""The demo packages hold what the README promises: every recording named by
a record is a member, every codec and WAV kind is there (WVC in stereo with
one party per channel, WAV mono), the data files named by records exist and the capture is
a well-formed pcap, marked and expired calls, the nineteen locales, and an
encrypted twin with the same members that opens only with its credentials.
Checked through our pkgtool and wvctool and the independent sox.
Usage: check_demo.py BIN_DIR DEMO_DIR"""
import datetime
import json
import os
import re
import struct
import subprocess
import sys
import tempfile

BIN, DEMO = sys.argv[1], sys.argv[2]
PKGTOOL, WVCTOOL = os.path.join(BIN, "pkgtool"), os.path.join(BIN, "wvctool")
PLAIN, TWIN = os.path.join(DEMO, "demo.pkg"), os.path.join(DEMO, "demo-encrypted.pkg")
TWIN_LOGIN = ["--user", "auditor", "--password", "vorn-demo-2026"]
WVC_PASSWORD = "wvc-demo-key"
problems = []


def check(condition, text):
    if not condition:
        problems.append(text)
    return condition


def tool(*command, ok=True):
    result = subprocess.run(command, capture_output=True)
    if ok and result.returncode != 0:
        sys.exit("%s failed: %s" % (" ".join(command), result.stderr.decode()))
    return result


def members(package, login=()):
    lines = tool(PKGTOOL, "list", package, *login).stdout.decode().splitlines()
    return {line.split(" ")[0] for line in lines if line.startswith("/")}


def script_value(text, opener):
    return json.loads(text[text.index(opener):text.rindex(opener == "[" and "]" or "}") + 1])


def channel_levels(wav):
    levels = []
    for channel in (1, 2):
        out = tool("sox", wav, "-n", "remix", str(channel), "stat").stderr.decode()
        levels.append(float(re.search(r"RMS\s+amplitude:\s+([\d.]+)", out).group(1)))
    return levels


def check_pcap(data, name):
    if not check(len(data) >= 24 and struct.unpack("<I", data[:4])[0] == 0xA1B2C3D4, name + ": no pcap header"):
        return
    check(struct.unpack("<I", data[20:24])[0] == 1, name + ": link type is not Ethernet")
    offset, frames = 24, 0
    while offset < len(data):
        _, _, captured, original = struct.unpack("<IIII", data[offset:offset + 16])
        frame = data[offset + 16:offset + 16 + captured]
        if not check(len(frame) == captured == original, name + ": truncated record"):
            return
        ip = frame[14:34]
        words = struct.unpack("!10H", ip)
        total = sum(words)
        total = (total & 0xFFFF) + (total >> 16)
        check(total == 0xFFFF, name + ": IPv4 header checksum wrong in frame %d" % frames)
        check(struct.unpack("!H", ip[2:4])[0] == len(frame) - 14, name + ": IPv4 length wrong")
        offset += 16 + captured
        frames += 1
    check(frames > 10, name + ": only %d frames" % frames)
    check(b"INVITE sip:" in data and b"m=audio" in data, name + ": no SIP call set-up")


def main():
    plain = members(PLAIN)
    check(members(TWIN, TWIN_LOGIN) == plain, "the encrypted twin holds other members")
    check(tool(PKGTOOL, "list", TWIN, "--user", "auditor", "--password", "wrong", ok=False).returncode != 0,
          "the encrypted twin opens with a wrong password")

    calls = script_value(tool(PKGTOOL, "extract", PLAIN, "/app/js/data/calls.js").stdout.decode(), "[")
    locales = script_value(tool(PKGTOOL, "extract", PLAIN, "/app/js/data/locales.js").stdout.decode(), "{")
    check(25 <= len(calls) <= 40, "%d calls" % len(calls))
    check(len(locales) == 19, "%d locales" % len(locales))

    now = datetime.datetime.now()
    ages = [(now - datetime.datetime.strptime(c["time_start"], "%Y-%m-%d %H:%M:%S")).days for c in calls]
    marked = [c["flags"] & 0x00400000 for c in calls]
    check(any(marked), "no call marked for long-term storage")
    check(any(a > 45 and not m for a, m in zip(ages, marked)), "no call past its storage time")
    check(any(20 < a <= 45 and not m and c["voice"] for a, m, c in zip(ages, marked, calls)),
          "no call whose recording is past its storage time")

    kinds = set()
    with tempfile.TemporaryDirectory() as temp:
        for call in calls:
            for value in call.values():
                if isinstance(value, str) and value.startswith("/app/"):
                    check(value in plain, "call %s names missing file %s" % (call["id"], value))
            if not call["voice"]:
                continue
            member = "/app/wave/" + call["voice"]
            if not check(member in plain, "call %s: recording %s is not stored" % (call["id"], member)):
                continue
            stored = os.path.join(temp, call["voice"])
            with open(stored, "wb") as out:
                out.write(tool(PKGTOOL, "extract", TWIN, member, *TWIN_LOGIN).stdout)
            wav = stored
            if stored.endswith(".wvc"):
                info = tool(WVCTOOL, "info", stored, "--password", WVC_PASSWORD).stdout.decode()
                kinds.add(re.search(r"^codec: (\S+)", info, re.M).group(1))
                wav = stored + ".wav"
                tool(WVCTOOL, "decode", stored, wav, "--password", WVC_PASSWORD)
            else:
                encoding = tool("soxi", "-e", stored).stdout.decode().strip()
                kinds.add("WAV " + encoding)
            if stored.endswith(".wvc"):
                left, right = channel_levels(wav)
                check(left > 0.005 and right > 0.005, "call %s: a party is silent (%f, %f)" % (call["id"], left, right))
            else:
                # WAV recordings are mono, as the viewer plays them.
                channels = tool("soxi", "-c", stored).stdout.decode().strip()
                check(channels == "1", "call %s: WAV recording has %s channels" % (call["id"], channels))
        check_pcap(tool(PKGTOOL, "extract", PLAIN, "/app/data/call1001.pcap").stdout, "call1001.pcap")

    wanted = {"PCMA", "PCMU", "PCM16", "opus", "G722", "G723", "G729", "GSM", "AMR", "AMR-WB",
              "WAV Signed Integer PCM", "WAV A-law"}
    check(wanted <= kinds, "kinds missing: %s" % sorted(wanted - kinds))
    for problem in problems:
        print(problem, file=sys.stderr)
    print("%d calls, kinds %s, %d problems" % (len(calls), sorted(kinds), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
