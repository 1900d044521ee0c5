// Build-time tool: renders one of our SVG drawings to a raster image
// (PNG, JPEG or ICO, chosen by the output's ending).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication aApplication(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: svgrender IN.svg OUT WIDTH HEIGHT\n");
        return 2;
    }
    QSvgRenderer aRenderer(QString::fromLocal8Bit(argv[1]));
    if (!aRenderer.isValid()) {
        std::fprintf(stderr, "svgrender: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString sOut = QString::fromLocal8Bit(argv[2]);
    const bool bOpaque = sOut.endsWith(QLatin1String(".jpg"));
    QImage aImage(atoi(argv[3]), atoi(argv[4]), bOpaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    aImage.fill(bOpaque ? Qt::white : Qt::transparent);
    QPainter aPainter(&aImage);
    aPainter.setRenderHint(QPainter::Antialiasing);
    aRenderer.render(&aPainter);
    aPainter.end();
    if (!aImage.save(sOut, nullptr, 92)) {
        std::fprintf(stderr, "svgrender: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
