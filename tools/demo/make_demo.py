#!/usr/bin/env python3
"""Builds the demo packages that scripts/run opens: thirty calls placed
relative to the build day, with real speech (espeak-ng; in WVC recordings the agent on
the left channel, the customer on the right) in every codec and WAV kind the viewer
plays, packet captures and transcripts named by some records, calls marked
for long-term storage and calls past the retention limits, the nineteen
locales of the locale menu, and an encrypted twin of the same content.
Written with our own pkgtool and wvctool; sox and espeak-ng do the audio."""
import argparse
import array
import concurrent.futures
import datetime
import json
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

# The encrypted twin's credentials; README.md prints them.
TWIN_USERS = "reviewer,auditor"
TWIN_PASSWORD = "vorn-demo-2026"
TWIN_WVC_PASSWORD = "wvc-demo-key"
AUTHORITY_PASSWORD = "demo"

# Retention in days, as the index states it: unmarked calls lose their
# recording after 20 days and vanish after 45; marked ones keep both longer.
SETTINGS = [
    "default_locale=en_GB",
    "storage_time_normal_cdr=45",
    "storage_time_normal_voice=20",
    "storage_time_marked_cdr=365",
    "storage_time_marked_voice=180",
    "package_call_expiration=authority_override",
    "authority_password=" + AUTHORITY_PASSWORD,
]

LOCALES = {
    "ar_SA": "العربية", "da_DK": "Dansk", "de_DE": "Deutsch (Deutschland)", "de_CH": "Deutsch (Schweiz)",
    "de_AT": "Deutsch (Österreich)", "en_AU": "English (Australia)", "en_GB": "English (United Kingdom)",
    "en_IE": "English (Ireland)", "en_US": "English (United States)", "fr_CH": "Français (Suisse)",
    "fr_FR": "Français (France)", "hu_HU": "Magyar", "lt_LT": "Lietuvių", "nb_NO": "Norsk bokmål",
    "pl_PL": "Polski", "ru_RU": "Русский", "sk_SK": "Slovenčina", "sl_SI": "Slovenščina", "tr_TR": "Türkçe",
}

FLAG_RECORDED = 0x18          # call-content open and close: the call has a recording
FLAG_LONG_TERM = 0x00400000   # marked for long-term storage

AGENT_VOICE = "en-gb+f3"
CUSTOMER_VOICE = "en-us+m3"
RATE = 22050                  # espeak-ng's own rate; the mix is resampled per codec

# kind: "wav" PCM16 WAV, "alaw" A-law WAV, "wvc:<codec>" WVC, None no recording.
# days: age in days at build time. files: data files the record names.
CALLS = [
    dict(kind="wav", days=0, dir="in", hum=True, files=["pcap", "txt"], lines=[
        ("A", "Good morning, Northwind Insurance, Anna speaking."),
        ("C", "Hi Anna, I want to check my claim, number four seven one one."),
        ("A", "One moment please. Your claim was approved yesterday.")]),
    dict(kind="wvc:opus", days=0, dir="out", files=["txt"], lines=[
        ("A", "Hello, this is Northwind calling back about your policy."),
        ("C", "Yes, thanks for calling. Is the new rate confirmed?"),
        ("A", "It is. The new rate starts on the first of next month.")]),
    dict(kind="wvc:PCMA", days=1, dir="in", marked=True, files=["pcap"], lines=[
        ("A", "Northwind Insurance, how can I help?"),
        ("C", "I want to cancel my contract, effective immediately."),
        ("A", "I am noting that. You will get a written confirmation.")]),
    dict(kind="wvc:G729", days=1, dir="in", lines=[
        ("A", "Northwind, Mark speaking."),
        ("C", "My card was charged twice this month."),
        ("A", "I see both payments. I will refund the second one today.")]),
    dict(kind="wvc:AMR", days=2, dir="out", lines=[
        ("A", "Good afternoon, I am calling about your car insurance renewal."),
        ("C", "Please send me the offer by email."),
        ("A", "Of course, you will have it within the hour.")]),
    dict(kind="alaw", days=2, dir="in", hum=True, files=["txt"], lines=[
        ("A", "Northwind claims, Sofia here."),
        ("C", "A pipe burst in my kitchen last night."),
        ("A", "I am sorry. A technician can come tomorrow at nine.")]),
    dict(kind="wvc:G722", days=3, dir="in", lines=[
        ("A", "Northwind, good evening."),
        ("C", "I moved house. My new postcode is two zero one five."),
        ("A", "Thank you, the address is updated.")]),
    dict(kind="wvc:PCM16", days=3, dir="out", marked=True, lines=[
        ("A", "This call is recorded for your protection."),
        ("C", "Understood. I agree to the terms as read to me."),
        ("A", "Thank you, your consent is recorded.")]),
    dict(kind="wvc:GSM", days=4, dir="in", lines=[
        ("A", "Northwind, how may I help?"),
        ("C", "I lost my password for the online portal."),
        ("A", "I have sent a reset link to your phone.")]),
    dict(kind="wvc:AMR-WB", days=5, dir="in", files=["pcap"], lines=[
        ("A", "Northwind travel cover, Liam speaking."),
        ("C", "Does my policy cover skiing in Austria?"),
        ("A", "Yes, winter sports are included in your plan.")]),
    dict(kind=None, days=5, dir="in", lines=[]),
    dict(kind="wvc:G723", days=6, dir="out", lines=[
        ("A", "Hello, I am following up on your complaint."),
        ("C", "Thank you. Has the invoice been corrected?"),
        ("A", "Yes, the corrected invoice is on its way.")]),
    dict(kind="wvc:PCMU", days=7, dir="in", files=["txt"], lines=[
        ("A", "Northwind, Anna speaking."),
        ("C", "I would like to add my daughter to my policy."),
        ("A", "Certainly. May I have her date of birth?")]),
    dict(kind="wav", days=8, dir="out", lines=[
        ("A", "Good morning, your documents have arrived."),
        ("C", "Great. Is anything missing?"),
        ("A", "Only the signed second page.")]),
    dict(kind="wvc:opus", days=9, dir="in", hum=True, lines=[
        ("A", "Northwind, Mark speaking."),
        ("C", "There is a strange hum on this line."),
        ("A", "I hear it too. Let us continue anyway.")]),
    dict(kind="wvc:G729", days=10, dir="out", marked=True, lines=[
        ("A", "I am calling about the fraud alert on your account."),
        ("C", "I did not make that payment."),
        ("A", "Then I will block the card right now.")]),
    dict(kind="alaw", days=11, dir="out", lines=[
        ("A", "Hello, this is Sofia from Northwind."),
        ("C", "Hi, is this about my appointment?"),
        ("A", "Yes, can we move it to Thursday?")]),
    dict(kind="wvc:AMR", days=12, dir="in", lines=[
        ("A", "Northwind, good morning."),
        ("C", "I need a copy of my policy certificate."),
        ("A", "It will be in your mailbox tomorrow.")]),
    dict(kind=None, days=13, dir="out", lines=[]),
    dict(kind="wvc:GSM", days=14, dir="out", files=["pcap"], lines=[
        ("A", "Hello, I am calling to confirm your payment plan."),
        ("C", "Yes, three instalments is fine."),
        ("A", "Perfect, the plan is active.")]),
    dict(kind="wvc:G722", days=15, dir="in", lines=[
        ("A", "Northwind, Liam speaking."),
        ("C", "Can I pay my premium yearly instead of monthly?"),
        ("A", "Yes, and you save five percent.")]),
    dict(kind="wvc:G723", days=16, dir="in", lines=[
        ("A", "Northwind claims."),
        ("C", "My bicycle was stolen at the station."),
        ("A", "Please report it to the police and send us the number.")]),
    dict(kind="wvc:AMR-WB", days=18, dir="out", lines=[
        ("A", "Good afternoon, a quick satisfaction survey."),
        ("C", "Sure, go ahead."),
        ("A", "How would you rate our service today?")]),
    dict(kind="wvc:PCMU", days=19, dir="out", lines=[
        ("A", "Hello, your repair has been completed."),
        ("C", "Wonderful, thank you for letting me know.")]),
    dict(kind="wvc:PCMA", days=24, dir="in", lines=[
        ("A", "Northwind, Mark speaking."),
        ("C", "I have a question about my last statement.")]),
    dict(kind="wav", days=33, dir="in", files=["txt"], lines=[
        ("A", "Northwind, Anna speaking."),
        ("C", "I want to change my bank account for payments.")]),
    dict(kind="wvc:opus", days=40, dir="out", marked=True, lines=[
        ("A", "Calling about the court request for your records."),
        ("C", "Yes, my lawyer asked me to confirm it."),
        ("A", "Thank you, we will send the records as requested.")]),
    dict(kind="wvc:PCM16", days=52, dir="in", lines=[
        ("A", "Northwind, good morning."),
        ("C", "Just calling to say thank you.")]),
    dict(kind="wvc:G729", days=70, dir="in", lines=[
        ("A", "Northwind claims, Sofia here."),
        ("C", "I would like to withdraw my claim.")]),
    dict(kind="wvc:AMR", days=90, dir="out", marked=True, lines=[
        ("A", "This is the annual review of your contract."),
        ("C", "Fine, please keep everything as it is.")]),
]

AGENTS = ["Anna Berger", "Mark Novak", "Sofia Ricci", "Liam Olsen"]
CUSTOMERS = ["+49 30 5550 1234", "+44 20 7946 0018", "+33 1 7010 4455", "+1 212 555 0142",
             "+41 44 668 1800", "+46 8 5050 3344", "+43 1 5320 7788", "+45 32 64 19 00"]
QUEUES = ["Claims", "Policies", "Billing", "Travel"]
CODEC_LABELS = {"wav": "PCM16 (WAV)", "alaw": "A-law (WAV)", "PCMA": "G.711.0 A-law", "PCMU": "G.711.0 µ-law",
                "PCM16": "PCM16", "opus": "Opus", "G722": "G.722", "G723": "G.723.1", "G729": "G.729",
                "GSM": "GSM", "AMR": "AMR", "AMR-WB": "AMR-WB"}
WIDEBAND = {"opus", "G722", "AMR-WB"}


def run(command):
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)


def speak(text, voice, work):
    path = os.path.join(work, "utterance.wav")
    run(["espeak-ng", "-v", voice, "-s", "180", "-w", path, text])
    with wave.open(path, "rb") as source:
        if source.getsampwidth() != 2 or source.getnchannels() != 1 or source.getframerate() != RATE:
            sys.exit("make_demo: unexpected espeak-ng output format")
        samples = array.array("h", source.readframes(source.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    return samples


def mix(lines, hum, work):
    """Stereo conversation at RATE: agent left, customer right, one after the
    other; written as work/mix.wav."""
    gap = int(0.25 * RATE)
    left, right = array.array("h"), array.array("h")
    for speaker, text in lines:
        samples = speak(text, AGENT_VOICE if speaker == "A" else CUSTOMER_VOICE, work)
        talking, silent = (left, right) if speaker == "A" else (right, left)
        talking.extend(samples)
        talking.extend([0] * gap)
        silent.extend([0] * (len(samples) + gap))
    if hum:
        # Mains hum for the notch filter to remove.
        for i in range(len(left)):
            value = int(2500 * math.sin(2 * math.pi * 50 * i / RATE))
            left[i] = max(-32768, min(32767, left[i] + value))
            right[i] = max(-32768, min(32767, right[i] + value))
    frames = array.array("h", bytes(4 * len(left)))
    frames[0::2] = left
    frames[1::2] = right
    if sys.byteorder == "big":
        frames.byteswap()
    path = os.path.join(work, "mix.wav")
    with wave.open(path, "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames.tobytes())
    return path, len(left) / RATE


def ip_checksum(header):
    total = sum(struct.unpack("!%dH" % (len(header) // 2), header))
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return ~total & 0xFFFF


def udp_frame(source, destination, sport, dport, payload, ident):
    udp = struct.pack("!HHHH", sport, dport, 8 + len(payload), 0) + payload
    header = struct.pack("!BBHHHBBH4s4s", 0x45, 0xB8, 20 + len(udp), ident & 0xFFFF, 0x4000, 64, 17, 0,
                         bytes(source), bytes(destination))
    header = header[:10] + struct.pack("!H", ip_checksum(header)) + header[12:]
    ethernet = bytes.fromhex("020000000002" "020000000001") + struct.pack("!H", 0x0800)
    return ethernet + header + udp


def write_pcap(path, start, caller, callee, alaw):
    """A SIP dialogue and the first two seconds of its A-law RTP stream, as
    Ethernet/IPv4/UDP frames in a classic pcap file."""
    pbx, phone = (10, 0, 0, 5), (10, 0, 0, 42)
    call_id = "%d@demo.northwind.example" % int(start.timestamp())
    sdp = ("v=0\r\no=- 1 1 IN IP4 10.0.0.42\r\ns=-\r\nc=IN IP4 10.0.0.42\r\nt=0 0\r\n"
           "m=audio 40000 RTP/AVP 8\r\na=rtpmap:8 PCMA/8000\r\n")

    def sip(first, cseq, body=""):
        text = (first + "\r\nVia: SIP/2.0/UDP 10.0.0.42:5060\r\nFrom: <sip:%s@demo.northwind.example>;tag=7a\r\n"
                "To: <sip:%s@demo.northwind.example>\r\nCall-ID: %s\r\nCSeq: %s\r\n"
                % (caller.replace(" ", ""), callee.replace(" ", ""), call_id, cseq))
        if body:
            text += "Content-Type: application/sdp\r\n"
        return (text + "Content-Length: %d\r\n\r\n" % len(body) + body).encode()

    packets = [(0.00, phone, pbx, 5060, 5060, sip("INVITE sip:%s@demo.northwind.example SIP/2.0" % callee.replace(" ", ""), "1 INVITE", sdp)),
               (0.02, pbx, phone, 5060, 5060, sip("SIP/2.0 100 Trying", "1 INVITE")),
               (0.30, pbx, phone, 5060, 5060, sip("SIP/2.0 180 Ringing", "1 INVITE")),
               (1.10, pbx, phone, 5060, 5060, sip("SIP/2.0 200 OK", "1 INVITE", sdp.replace("10.0.0.42", "10.0.0.5"))),
               (1.12, phone, pbx, 5060, 5060, sip("ACK sip:pbx@demo.northwind.example SIP/2.0", "1 ACK"))]
    for n in range(min(100, len(alaw) // 160)):
        rtp = struct.pack("!BBHII", 0x80, 8, n, n * 160, 0x4E57) + alaw[n * 160:(n + 1) * 160]
        packets.append((1.14 + n * 0.02, pbx, phone, 40000, 40000, rtp))
    end = packets[-1][0] + 0.5
    packets.append((end, phone, pbx, 5060, 5060, sip("BYE sip:pbx@demo.northwind.example SIP/2.0", "2 BYE")))
    packets.append((end + 0.03, pbx, phone, 5060, 5060, sip("SIP/2.0 200 OK", "2 BYE")))
    with open(path, "wb") as out:
        out.write(struct.pack("<IHHiIII", 0xA1B2C3D4, 2, 4, 0, 0, 65535, 1))
        for ident, (offset, source, destination, sport, dport, payload) in enumerate(packets):
            frame = udp_frame(source, destination, sport, dport, payload, ident)
            stamp = start.timestamp() + offset
            out.write(struct.pack("<IIII", int(stamp), int((stamp % 1) * 1e6), len(frame), len(frame)))
            out.write(frame)


def recording(call, mixed, name, voice_dir, work, wvc_password):
    """Writes the recording in its kind; returns its file name."""
    kind = call["kind"]
    # The viewer plays mono WAV recordings only: both parties mixed down.
    if kind == "wav":
        run(["sox", mixed, "-r", "8000", "-b", "16", "-c", "1", os.path.join(voice_dir, name + ".wav")])
        return name + ".wav"
    if kind == "alaw":
        run(["sox", mixed, "-r", "8000", "-e", "a-law", "-c", "1", os.path.join(voice_dir, name + ".wav")])
        return name + ".wav"
    codec = kind.split(":")[1]
    source = os.path.join(work, "source.wav")
    run(["sox", mixed, "-r", "16000" if codec in WIDEBAND else "8000", "-b", "16", source])
    command = [ARGS.wvctool, "encode", source, os.path.join(voice_dir, name + ".wvc"), "--codec", codec,
               "--meta", "call_id=%s" % name]
    if wvc_password:
        command += ["--password", wvc_password]
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return name + ".wvc"


def write_call(n, call, now, wvc_password, work, mixed, seconds, voice_dir, files_dir):
    """Writes the recording and data files of one call; returns its record."""
    number = 1001 + n
    name = "call%d" % number
    start = now - datetime.timedelta(days=call["days"], hours=1 + (n * 5) % 9, minutes=(n * 17) % 60)
    agent = AGENTS[n % len(AGENTS)]
    customer = CUSTOMERS[n % len(CUSTOMERS)]
    extension = "+49 89 2000 %04d" % (100 + n % len(AGENTS))
    caller, callee = (customer, extension) if call["dir"] == "in" else (extension, customer)
    record = {"id": number, "time_start": start.strftime("%Y-%m-%d %H:%M:%S")}
    flags = FLAG_LONG_TERM if call.get("marked") else 0
    if call["kind"]:
        record["voice"] = recording(call, mixed, name, voice_dir, work, wvc_password)
        flags |= FLAG_RECORDED
        record["codec"] = CODEC_LABELS[call["kind"].split(":")[-1]]
    else:
        record["voice"] = ""
    record.update({
        "time_end": (start + datetime.timedelta(seconds=math.ceil(seconds))).strftime("%Y-%m-%d %H:%M:%S"),
        "direction": call["dir"], "caller": caller, "callee": callee, "agent": agent,
        "duration": math.ceil(seconds), "queue": QUEUES[n % len(QUEUES)], "flags": flags,
    })
    if "pcap" in call.get("files", []):
        alaw_path = os.path.join(work, "rtp.raw")
        run(["sox", mixed, "-r", "8000", "-c", "1", "-e", "a-law", "-t", "raw", alaw_path, "remix", "1"])
        with open(alaw_path, "rb") as source:
            write_pcap(os.path.join(files_dir, name + ".pcap"), start, caller, callee, source.read())
        record["capture"] = "/app/data/%s.pcap" % name
    if "txt" in call.get("files", []):
        with open(os.path.join(files_dir, name + "_transcript.txt"), "w", encoding="utf-8") as out:
            out.write("Transcript of call %d, %s\n\n" % (number, record["time_start"]))
            for speaker, text in call["lines"]:
                out.write("%s: %s\n" % (agent if speaker == "A" else customer, text))
        record["transcript"] = "/app/data/%s_transcript.txt" % name
    return record


def build(root, now, wvc_password, works, mixes, pool):
    data = os.path.join(root, "app", "js", "data")
    voice_dir = os.path.join(root, "app", "wave")
    files_dir = os.path.join(root, "app", "data")
    for directory in (data, voice_dir, files_dir):
        os.makedirs(directory)
    jobs = [pool.submit(write_call, n, call, now, wvc_password, works[n], *mixes[n], voice_dir, files_dir)
            for n, call in enumerate(CALLS)]
    records = [job.result() for job in jobs]
    with open(os.path.join(data, "calls.js"), "w", encoding="utf-8") as out:
        out.write("var gCalls = [\n" + ",\n".join(json.dumps(r, ensure_ascii=False) for r in records) + "\n];\n")
    with open(os.path.join(data, "locales.js"), "w", encoding="utf-8") as out:
        out.write("var gLocales = " + json.dumps(LOCALES, ensure_ascii=False, indent=0) + ";\n")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--pkgtool", required=True)
    parser.add_argument("--wvctool", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--encrypted-out", required=True)
    ARGS = parser.parse_args()

    work = tempfile.mkdtemp(prefix="vorn-demo-")
    try:
        now = datetime.datetime.now().replace(microsecond=0)
        works = [os.path.join(work, "call%02d" % n) for n in range(len(CALLS))]
        for directory in works:
            os.makedirs(directory)
        # Calls are independent: their speech and encodings are made side by side.
        pool = concurrent.futures.ThreadPoolExecutor(max_workers=os.cpu_count() or 2)
        jobs = [pool.submit(mix, call["lines"], call.get("hum", False), works[n]) if call["kind"] else None
                for n, call in enumerate(CALLS)]
        mixes = [job.result() if job else (None, 0) for job in jobs]
        for out, password, wvc_password in ((ARGS.out, None, None),
                                            (ARGS.encrypted_out, TWIN_PASSWORD, TWIN_WVC_PASSWORD)):
            root = os.path.join(work, "root")
            build(root, now, wvc_password, works, mixes, pool)
            settings = SETTINGS + (["wvc_encryption_password=" + wvc_password] if wvc_password else [])
            command = [ARGS.pkgtool, "create", out, "--root", root, "--settings", ";".join(settings)]
            if password:
                command += ["--password", password, "--users", TWIN_USERS]
            os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
            run(command)
            shutil.rmtree(root)
        pool.shutdown()
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
