#pragma once
// Small WAV files for the reader's tests and the seeds of its fuzz target:
// RIFF chunks put together byte by byte, so that every field can lie.
#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <vector>

namespace WavTestFiles {

inline QByteArray le16(quint16 inValue)
{
    char a[2];
    qToLittleEndian(inValue, a);
    return QByteArray(a, 2);
}

inline QByteArray le32(quint32 inValue)
{
    char a[4];
    qToLittleEndian(inValue, a);
    return QByteArray(a, 4);
}

// A chunk with its stated size (the payload's unless given) and, for an odd
// payload, the pad byte.
inline QByteArray chunk(const char* ipId, const QByteArray& iaPayload, qint64 inStatedSize = -1, bool ibPad = true)
{
    QByteArray a = QByteArray(ipId, 4) + le32(quint32(inStatedSize < 0 ? iaPayload.size() : inStatedSize)) + iaPayload;
    if (ibPad && (iaPayload.size() & 1))
        a += '\0';
    return a;
}

// "fmt " payload; inExtra > 0 adds the extension size field and its bytes.
inline QByteArray fmtPayload(quint16 inTag, quint16 inChannels, quint32 inRate, quint16 inBits, int inExtra = -1)
{
    const quint16 nBlockAlign = quint16(inChannels * ((inBits + 7) / 8));
    QByteArray a = le16(inTag) + le16(inChannels) + le32(inRate) + le32(inRate * nBlockAlign) + le16(nBlockAlign)
                   + le16(inBits);
    if (inExtra >= 0)
        a += le16(quint16(inExtra)) + QByteArray(inExtra, '\0');
    return a;
}

inline QByteArray riff(const QByteArray& iaChunks, const char* ipForm = "WAVE", const char* ipRiff = "RIFF")
{
    return QByteArray(ipRiff, 4) + le32(quint32(iaChunks.size() + 4)) + QByteArray(ipForm, 4) + iaChunks;
}

inline QByteArray ramp(int inBytes, int inStart = 0)
{
    QByteArray a(inBytes, '\0');
    for (int i = 0; i < inBytes; ++i)
        a[i] = char((inStart + i * 37) & 0xFF);
    return a;
}

// The four A-law codes with published values, then a run of the others.
inline QByteArray alawBytes()
{
    QByteArray a("\xD5\x55\x2A\xAA", 4);
    for (int i = 0; i < 256; i += 7)
        a += char(i);
    return a;
}

enum class Outcome { Accepted, Rejected, Incomplete };

struct Case
{
    const char* pName;
    QByteArray aFile;
    Outcome eOutcome;
    const char* pWarning; // logged once for a rejection
    // The format as filled (the first three also for rejections that come
    // after the "fmt " chunk was read; -1 means not filled).
    int nChannels;
    int nRate;
    int nBits;
    quint64 nSamples;
    quint64 nDuration;
    int nEncoding; // 0 16-bit PCM, 1 8-bit PCM, 2 A-law
    QByteArray aSamples; // the stored sample bytes that must come out (expanded for A-law)
};

inline std::vector<Case> cases()
{
    const QByteArray aPcm = ramp(100);
    const QByteArray aAlaw = alawBytes();
    const QByteArray aFmt16 = chunk("fmt ", fmtPayload(1, 1, 8000, 16));
    std::vector<Case> a;
    a.push_back({"PCM16: 100 bytes count as 48 samples", riff(aFmt16 + chunk("data", aPcm)), Outcome::Accepted, "",
                 1, 8000, 16, 48, 6, 0, aPcm});
    a.push_back({"8-bit PCM", riff(chunk("fmt ", fmtPayload(1, 1, 11025, 8)) + chunk("data", ramp(90, 5))),
                 Outcome::Accepted, "", 1, 11025, 8, 88, 7, 1, ramp(90, 5)});
    a.push_back({"A-law, fmt of 18 bytes, fact chunk",
                 riff(chunk("fmt ", fmtPayload(6, 1, 8000, 8, 0)) + chunk("fact", le32(quint32(aAlaw.size())))
                      + chunk("data", aAlaw)),
                 Outcome::Accepted, "", 1, 8000, 16, quint64(aAlaw.size() / 8 * 8), 5, 2, aAlaw});
    a.push_back({"LIST before fmt, odd-sized chunk with pad byte",
                 riff(chunk("LIST", QByteArray("INFOISFT\x03\0\0\0ab\0", 15)) + chunk("junk", "odd") + aFmt16
                      + chunk("data", aPcm.left(32))),
                 Outcome::Accepted, "", 1, 8000, 16, 16, 2, 0, aPcm.left(32)});
    a.push_back({"fmt of 40 bytes (extensible size)", riff(chunk("fmt ", fmtPayload(1, 1, 16000, 16, 22)) + chunk("data", aPcm)),
                 Outcome::Accepted, "", 1, 16000, 16, 48, 3, 0, aPcm});
    a.push_back({"chunk after the data is not audio",
                 riff(aFmt16 + chunk("data", aPcm.left(20)) + chunk("LIST", "INFOtail")), Outcome::Accepted, "", 1,
                 8000, 16, 8, 1, 0, aPcm.left(20)});
    a.push_back({"data size 0 (unfinished writer): samples to the end", riff(aFmt16 + chunk("data", aPcm, 0)),
                 Outcome::Accepted, "", 1, 8000, 16, 0, 0, 0, aPcm});
    a.push_back({"data size past the end", riff(aFmt16 + chunk("data", aPcm, 5000)), Outcome::Accepted, "", 1, 8000,
                 16, 2496, 312, 0, aPcm});
    a.push_back({"empty data chunk", riff(aFmt16 + chunk("data", QByteArray())), Outcome::Accepted, "", 1, 8000, 16,
                 0, 0, 0, QByteArray()});
    a.push_back({"stereo", riff(chunk("fmt ", fmtPayload(1, 2, 8000, 16)) + chunk("data", aPcm)), Outcome::Rejected,
                 "Only mono files are supported", 2, 8000, 16, 0, 0, 0, {}});
    a.push_back({"stereo A-law is rejected before its tag",
                 riff(chunk("fmt ", fmtPayload(6, 2, 8000, 8)) + chunk("data", aPcm)), Outcome::Rejected,
                 "Only mono files are supported", 2, 8000, 8, 0, 0, 0, {}});
    a.push_back({"no channels", riff(chunk("fmt ", fmtPayload(1, 0, 8000, 16)) + chunk("data", aPcm)),
                 Outcome::Rejected, "Only mono files are supported", 0, 8000, 16, 0, 0, 0, {}});
    a.push_back({"24-bit PCM", riff(chunk("fmt ", fmtPayload(1, 1, 8000, 24)) + chunk("data", aPcm)),
                 Outcome::Rejected, "Only 8 and 16 bits per sample are supported", 1, 8000, 24, 0, 0, 0, {}});
    a.push_back({"mu-law", riff(chunk("fmt ", fmtPayload(7, 1, 8000, 8)) + chunk("data", aPcm)), Outcome::Rejected,
                 "Only PCM and A-law are supported", 1, 8000, 8, 0, 0, 0, {}});
    a.push_back({"A-law of width 0", riff(chunk("fmt ", fmtPayload(6, 1, 8000, 0)) + chunk("data", aPcm)),
                 Outcome::Rejected, "Invalid bits per sample", 1, 8000, 0, 0, 0, 2, {}});
    a.push_back({"sample rate 0", riff(chunk("fmt ", fmtPayload(1, 1, 0, 16)) + chunk("data", aPcm)),
                 Outcome::Rejected, "Invalid sample rate", 1, 0, 16, 0, 0, 0, {}});
    a.push_back({"data before fmt", riff(chunk("data", aPcm) + aFmt16), Outcome::Rejected,
                 "No fmt chunk before the data chunk", -1, -1, -1, 0, 0, 0, {}});
    a.push_back({"RIFX", riff(aFmt16 + chunk("data", aPcm), "WAVE", "RIFX"), Outcome::Rejected,
                 "Not a valid WAVE file", -1, -1, -1, 0, 0, 0, {}});
    a.push_back({"AVI form", riff(aFmt16 + chunk("data", aPcm), "AVI "), Outcome::Rejected, "Not a valid WAVE file", -1, -1, -1, 0, 0, 0, {}});
    a.push_back({"fewer than 12 bytes", QByteArray("RIFF\x10\0\0\0WA", 10), Outcome::Incomplete, "", -1, -1, -1, 0, 0, 0,
                 {}});
    a.push_back({"cut inside the fmt fields", riff(aFmt16).left(12 + 8 + 10), Outcome::Incomplete, "", -1, -1, -1, 0, 0,
                 0, {}});
    a.push_back({"cut inside a chunk header", riff(aFmt16 + chunk("data", aPcm)).left(12 + 24 + 6),
                 Outcome::Incomplete, "", 1, 8000, 16, 0, 0, 0, {}});
    a.push_back({"chunk size beyond the file", riff(chunk("LIST", "INFO", 0xFFFFFFF0u) + aFmt16 + chunk("data", aPcm)),
                 Outcome::Incomplete, "", -1, -1, -1, 0, 0, 0, {}});
    a.push_back({"fmt size beyond the file", riff(chunk("fmt ", fmtPayload(1, 1, 8000, 16), 0xFFFFFFFFu) + chunk("data", aPcm)),
                 Outcome::Incomplete, "", 1, 8000, 16, 0, 0, 0, {}});
    return a;
}

} // namespace WavTestFiles
