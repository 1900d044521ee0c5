#pragma once
#include <QByteArray>

#include <initializer_list>

// The document both generators write: a band of one polygon above and one
// below the middle line per channel, on a view box of inWidth × 512.
namespace WaveformSvg {

struct Band
{
    const QByteArray& raUpper; // "x,y " per point
    const QByteArray& raLower;
    const QByteArray& raColour;
};

// "rgba(r,g,b,a) ", the alpha as a plain number.
QByteArray colour(int inRed, int inGreen, int inBlue, double ifAlpha);
// ibFinalNewline: whether "</svg>" is followed by a line feed.
QByteArray document(qint64 inWidth, std::initializer_list<Band> iaBands, bool ibFinalNewline);

} // namespace WaveformSvg
