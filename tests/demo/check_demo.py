#!/usr/bin/env python3
"""The demo packages hold what the README promises: thirty calls placed
relative to the build day, every recording named by a record is a member,
every codec and WAV kind is there (WVC in stereo with the agent on the left
and the customer on the right, WAV mono), captures and transcripts named by
records exist and the capture is a well-formed pcap, marked and expired calls,
a faint 50 Hz hum on calls 1001, 1006 and 1015 only, the nineteen locales,
and an encrypted twin with the same members that opens for "reviewer" and
"auditor" with its password and for nobody else. Checked through our pkgtool
and wvctool and the independent sox; the hum's frequency is measured here on
the decoded recording. (What retention hides: tst_demo_retention.)
Usage: check_demo.py BIN_DIR DEMO_DIR"""
import array
import datetime
import math
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
HUM_CALLS = {1001, 1006, 1015}
HUM_RATE = 200  # recordings are brought down to this rate to look for the hum
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


def level_at(samples, frequency):
    """Amplitude (full scale 1) of the frequency's component, by Goertzel's recurrence."""
    coefficient = 2 * math.cos(2 * math.pi * frequency / HUM_RATE)
    s1 = s2 = 0.0
    for value in samples:
        s1, s2 = value + coefficient * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coefficient * s1 * s2, 0.0)) / len(samples)


def hum(wav):
    """(frequency, amplitude) of the strongest tone from 20 to 95 Hz of the left
    channel, to a twentieth of a hertz, and the amplitude at 50 Hz."""
    raw = tool("sox", wav, "-t", "raw", "-e", "floating-point", "-b", "32", "-c", "1", "-",
               "remix", "1", "rate", "-v", str(HUM_RATE)).stdout
    samples = array.array("f", raw)
    coarse = max((level_at(samples, 20 + 0.5 * i), 20 + 0.5 * i) for i in range(151))[1]
    level, frequency = max((level_at(samples, coarse - 0.5 + 0.05 * i), coarse - 0.5 + 0.05 * i) for i in range(21))
    return frequency, level, level_at(samples, 50)


def onset(wav, channel):
    """Seconds until the channel's speech starts (mains hum filtered out)."""
    def length(*effects):
        out = tool("sox", wav, "-n", "remix", str(channel), "highpass", "200", *effects, "stat").stderr.decode()
        return float(re.search(r"Length \(seconds\):\s+([\d.]+)", out).group(1))
    return length() - length("silence", "1", "0.02", "5%")


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
    check(b"encrypted: no" in tool(PKGTOOL, "list", PLAIN).stdout, "the plain demo is encrypted")
    check(b"encrypted: yes" in tool(PKGTOOL, "list", TWIN, *TWIN_LOGIN).stdout, "the twin is not encrypted")
    for user in ("reviewer", "auditor"):
        check(members(TWIN, ["--user", user, "--password", "vorn-demo-2026"]) == plain,
              "the encrypted twin holds other members for " + user)
    for user, password in (("auditor", "wrong"), ("reviewer", "vorn-demo-2025"), ("reviewer", ""),
                           ("intruder", "vorn-demo-2026")):
        login = ["--user", user, "--password", password]
        check(tool(PKGTOOL, "list", TWIN, *login, ok=False).returncode != 0,
              "the encrypted twin opens for %s with %r" % (user, password))
        check(tool(PKGTOOL, "extract", TWIN, "/app/js/data/calls.js", *login, ok=False).stdout == b"",
              "the encrypted twin hands out its call list to %s with %r" % (user, password))

    calls = script_value(tool(PKGTOOL, "extract", PLAIN, "/app/js/data/calls.js").stdout.decode(), "[")
    locales = script_value(tool(PKGTOOL, "extract", PLAIN, "/app/js/data/locales.js").stdout.decode(), "{")
    check(len(calls) == 30, "%d calls" % len(calls))
    check(len(locales) == 19 and all(re.fullmatch(r"[a-z]{2}_[A-Z]{2}", code) for code in locales),
          "locales: %s" % sorted(locales))
    check(any("transcript" in c for c in calls) and any("capture" in c for c in calls),
          "no call names a transcript or a capture")

    # Ages as the retention rules see them now; placed relative to the day
    # the package was written, the youngest call is from that day.
    now = datetime.datetime.now()
    built = datetime.datetime.fromtimestamp(os.path.getmtime(PLAIN))
    youngest = max(datetime.datetime.strptime(c["time_start"], "%Y-%m-%d %H:%M:%S") for c in calls)
    check(datetime.timedelta(0) <= built - youngest <= datetime.timedelta(days=1),
          "the youngest call (%s) is not from the build day (%s)" % (youngest, built))
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
            frequency, level, at50 = hum(wav)
            if call["id"] in HUM_CALLS:
                # Faint: the 2500 of 32767 the demo adds, give or take what the codec does.
                check(abs(frequency - 50) <= 0.1 and 0.03 < level < 0.15,
                      "call %s: hum of %.2f at %.2f Hz, not a faint 50 Hz hum" % (call["id"], level, frequency))
            else:
                check(at50 < 0.005, "call %s: a 50 Hz hum of %.4f" % (call["id"], at50))
            if stored.endswith(".wvc"):
                left, right = channel_levels(wav)
                check(left > 0.005 and right > 0.005, "call %s: a party is silent (%f, %f)" % (call["id"], left, right))
                # Every demo call opens with the agent.
                check(onset(wav, 1) < onset(wav, 2), "call %s: the customer speaks first on the left" % call["id"])
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
