#!/usr/bin/python3
# Independent judge of saved WAV files, read with Python's wave module and
# numpy (none of the viewer's code).
#   redact PLAIN REDACTED tone|silence SPANS   spans as "start-end,..." in ms
#   clip FULL CLIP START_MS END_MS FRAME       FRAME: codec frame in samples
# Prints what is wrong and exits 1, or exits 0.
import sys
import wave

import numpy as np


def read(path):
    with wave.open(path, "rb") as w:
        assert w.getsampwidth() == 2, "not 16-bit"
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2")
        return w.getframerate(), w.getnchannels(), data.reshape(-1, w.getnchannels()).astype(np.float64)


faults = []


def check(condition, text):
    if not condition:
        faults.append(text)


def redact(plain, redacted, fill, spans):
    rate, channels, a = read(plain)
    rate2, channels2, b = read(redacted)
    check((rate, channels) == (rate2, channels2), "format differs")
    check(len(a) == len(b), "length %d instead of %d" % (len(b), len(a)))
    inside = np.zeros(len(a), dtype=bool)
    fade = rate // 100
    for text in spans.split(","):
        start, end = (int(x) for x in text.split("-"))
        s, e = start * rate // 1000, min(end * rate // 1000, len(a))
        inside[s:e] = True
        for c in range(channels):
            part, original = b[s:e, c], a[s:e, c]
            if fill == "silence":
                check(not part.any(), "span %s channel %d not silent" % (text, c))
                continue
            core = part[fade:len(part) - fade]
            spectrum = np.abs(np.fft.rfft(core * np.hanning(len(core))))
            peak = np.argmax(spectrum)
            # Parabolic interpolation between the bins around the peak.
            if 0 < peak < len(spectrum) - 1:
                l, m, r = np.log(spectrum[peak - 1:peak + 2] + 1e-12)
                peak = peak + 0.5 * (l - r) / (l - 2 * m + r)
            frequency = peak * rate / len(core)
            check(abs(frequency - 1000) <= 5, "span %s channel %d: %.1f Hz" % (text, c, frequency))
            level = 20 * np.log10(np.max(np.abs(core)) / 32768)
            check(abs(level + 12) <= 1, "span %s channel %d: %.2f dBFS" % (text, c, level))
            correlation = abs(np.corrcoef(part, original)[0, 1])
            check(correlation < 0.01, "span %s channel %d: correlation %.4f" % (text, c, correlation))
            # The fades: the first and last samples start and end near zero.
            check(abs(part[0]) < 200, "span %s channel %d: no fade in" % (text, c))
            if end * rate // 1000 <= len(a):
                check(abs(part[-1]) < 200, "span %s channel %d: no fade out" % (text, c))
    n = min(len(a), len(b))
    differing = np.nonzero((a[:n] != b[:n]).any(axis=1) & ~inside[:n])[0]
    check(len(differing) == 0, "%d frames outside the spans differ, first at %s" % (len(differing), differing[:3]))


def clip(full, clipped, start, end, frame):
    rate, channels, a = read(full)
    rate2, channels2, b = read(clipped)
    check((rate, channels) == (rate2, channels2), "format differs")
    s, e = start * rate // 1000, min(end * rate // 1000, len(a))
    check(abs(len(b) - (e - s)) <= frame, "clip of %d frames instead of %d" % (len(b), e - s))
    # Where the clip lies in the whole: within one codec frame of its start.
    # The codec's state after a seek may differ for a frame; compare after it.
    best, where = -1.0, None
    for shift in range(-frame, frame + 1):
        lo = s + shift
        if lo < 0:
            continue
        n = min(len(b), len(a) - lo)
        if n <= 3 * frame:
            continue
        x, y = b[2 * frame:n].ravel(), a[lo + 2 * frame:lo + n].ravel()
        if x.std() == 0 or y.std() == 0:
            continue
        r = np.corrcoef(x, y)[0, 1]
        if r > best:
            best, where = r, shift
    check(best > 0.9, "clip does not match the recording (best %.3f at %s)" % (best, where))


if sys.argv[1] == "redact":
    redact(*sys.argv[2:4], sys.argv[4], sys.argv[5])
else:
    clip(sys.argv[2], sys.argv[3], *(int(x) for x in sys.argv[4:7]))
print("\n".join(faults))
sys.exit(1 if faults else 0)
