#pragma once
#include <QString>

// The effect and zoom items of a waveform request (the same keys as for
// playback), read once for either generator.
struct WaveformQuery
{
    bool bNotch = false;
    int nNotchFrequency = 0; // Hz
    float fQFactor = 0.5f;
    bool bAmplify = false;
    float fAmplifyRatio = 1.0f;
    bool bBalance = false;
    int nBalance = 0;
    bool bZoom = false;
    qint64 nZoomStart = 0; // ms
    qint64 nZoomEnd = 0;   // ms

    // Logs each item it takes at debug level; "balance" only when
    // ibWithBalance (recordings with two channels).
    static WaveformQuery parse(const QString& isQuery, bool ibWithBalance);
};
