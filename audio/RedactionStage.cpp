#include "RedactionStage.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {
constexpr double cfPi = 3.14159265358979323846;
}

QVector<RedactionStage::Span> RedactionStage::parseSpans(const QString& isText, bool* ipbOk)
{
    QVector<Span> aSpans;
    bool bAllRead = true;
    const QStringList aParts = isText.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& rsPart : aParts) {
        const int nDash = rsPart.indexOf(QLatin1Char('-'), 1);
        bool bStart = false;
        bool bEnd = false;
        const qint64 nStart = nDash > 0 ? rsPart.left(nDash).trimmed().toLongLong(&bStart) : 0;
        const qint64 nEnd = nDash > 0 ? rsPart.mid(nDash + 1).trimmed().toLongLong(&bEnd) : 0;
        if (!bStart || !bEnd || nStart < 0 || nEnd < nStart) {
            bAllRead = false;
            continue;
        }
        if (nEnd > nStart)
            aSpans.append({ nStart, nEnd });
    }
    if (ipbOk)
        *ipbOk = bAllRead;
    return aSpans;
}

QString RedactionStage::spansText(const QVector<Span>& irSpans)
{
    QStringList aParts;
    for (const Span& rSpan : irSpans)
        aParts << QStringLiteral("%1-%2").arg(rSpan.nStartMs).arg(rSpan.nEndMs);
    return aParts.join(QLatin1Char(','));
}

RedactionStage::Fill RedactionStage::fillFromText(const QString& isText)
{
    return isText.trimmed().compare(QLatin1String("silence"), Qt::CaseInsensitive) == 0 ? Fill::Silence
                                                                                          : Fill::Tone;
}

RedactionStage::RedactionStage(const QVector<Span>& irSpans, Fill inFill, int inSampleRate, int inChannels)
    : mnFill(inFill)
    , mnSampleRate(qMax(1, inSampleRate))
    , mnChannels(qMax(1, inChannels))
    , mnFadeFrames(qMax<qint64>(1, qint64(mnSampleRate) * cnFadeMs / 1000))
{
    for (const Span& rSpan : irSpans) {
        const qint64 nStart = rSpan.nStartMs * mnSampleRate / 1000;
        const qint64 nEnd = rSpan.nEndMs * mnSampleRate / 1000;
        if (nEnd > nStart)
            maFrames.append({ nStart, nEnd });
    }
    // Overlapping notes make one passage: the tone must not restart inside it.
    std::sort(maFrames.begin(), maFrames.end(),
              [](const FrameSpan& a, const FrameSpan& b) { return a.nStart < b.nStart; });
    QVector<FrameSpan> aMerged;
    for (const FrameSpan& rSpan : qAsConst(maFrames)) {
        if (!aMerged.isEmpty() && rSpan.nStart <= aMerged.last().nEnd)
            aMerged.last().nEnd = qMax(aMerged.last().nEnd, rSpan.nEnd);
        else
            aMerged.append(rSpan);
    }
    maFrames = aMerged;
}

int RedactionStage::replacement(qint64 inOffset, qint64 inLength) const
{
    if (mnFill == Fill::Silence)
        return 0;
    // A raised-cosine fade at each end; a passage shorter than two fades
    // gets half of it at each end.
    const qint64 nFade = qMin(mnFadeFrames, qMax<qint64>(1, inLength / 2));
    const qint64 nEdge = qMin(inOffset, inLength - 1 - inOffset);
    double fGain = 1.0;
    if (nEdge < nFade) {
        const double fRamp = std::sin(0.5 * cfPi * double(nEdge) / double(nFade));
        fGain = fRamp * fRamp;
    }
    const double fPhase = 2.0 * cfPi * double(cnToneFrequency) * double(inOffset) / double(mnSampleRate);
    return int(std::lround(fGain * cnTonePeak * std::sin(fPhase)));
}

template <typename Sample, typename Convert>
void RedactionStage::replace(Sample* ipSamples, int inFrames, qint64 inFirstFrame, Convert irConvert) const
{
    const qint64 nLast = inFirstFrame + inFrames;
    for (const FrameSpan& rSpan : maFrames) {
        if (rSpan.nEnd <= inFirstFrame)
            continue;
        if (rSpan.nStart >= nLast)
            break;
        const qint64 nFrom = qMax(rSpan.nStart, inFirstFrame);
        const qint64 nTo = qMin(rSpan.nEnd, nLast);
        for (qint64 n = nFrom; n < nTo; ++n) {
            const Sample nValue = irConvert(replacement(n - rSpan.nStart, rSpan.nEnd - rSpan.nStart));
            Sample* pFrame = ipSamples + (n - inFirstFrame) * mnChannels;
            std::fill(pFrame, pFrame + mnChannels, nValue);
        }
    }
}

void RedactionStage::process(qint16* ipSamples, int inFrames, qint64 inFirstFrame) const
{
    replace(ipSamples, inFrames, inFirstFrame, [](int inValue) { return qint16(inValue); });
}

void RedactionStage::process(quint8* ipSamples, int inFrames, qint64 inFirstFrame) const
{
    // 8-bit samples are offset by 128; the tone keeps its level relative to full scale.
    replace(ipSamples, inFrames, inFirstFrame,
            [](int inValue) { return quint8(qBound(0, 128 + int(std::lround(inValue / 256.0)), 255)); });
}
