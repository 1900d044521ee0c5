#include "WaveformSvg.h"

namespace WaveformSvg {

QByteArray colour(int inRed, int inGreen, int inBlue, double ifAlpha)
{
    return "rgba(" + QByteArray::number(inRed) + ',' + QByteArray::number(inGreen) + ',' + QByteArray::number(inBlue)
           + ',' + QByteArray::number(ifAlpha) + ") ";
}

QByteArray document(qint64 inWidth, std::initializer_list<Band> iaBands, bool ibFinalNewline)
{
    const QByteArray aWidth = QByteArray::number(inWidth);
    QByteArray aSvg;
    aSvg += "<?xml version=\"1.0\" standalone=\"no\" ?>\n"
            "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
            "<svg preserveAspectRatio=\"none\" width=\"800\" height=\"100\" viewBox=\"0 0 ";
    aSvg += aWidth + " 512\" xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\">\n";
    for (const Band& rBand : iaBands) {
        for (const QByteArray* pPoints : {&rBand.raUpper, &rBand.raLower}) {
            aSvg += "<polygon points=\"0,256 " + *pPoints + ' ' + aWidth + ",256 0,256\" fill=\"" + rBand.raColour
                    + "\" stroke-width=\"0.5\" stroke=\"" + rBand.raColour + "\" />\n";
        }
    }
    aSvg += "</svg>";
    if (ibFinalNewline)
        aSvg += '\n';
    return aSvg;
}

} // namespace WaveformSvg
