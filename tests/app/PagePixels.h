#pragma once
// What the page draws, judged by pixels: a part of the window as the page
// shows it, and a text drawn by itself at the same place for comparison.
#include "PageSession.h"

#include <QRegularExpression>

// The dark pixels of an image, cropped to where there are any.
inline QImage inkOf(const QImage& irImage)
{
    QImage aMask(irImage.size(), QImage::Format_Grayscale8);
    aMask.fill(0);
    QRect aBox;
    for (int y = 0; y < irImage.height(); ++y)
        for (int x = 0; x < irImage.width(); ++x)
            if (qGray(irImage.pixel(x, y)) < 150) {
                aMask.setPixel(x, y, 255);
                aBox |= QRect(x, y, 1, 1);
            }
    return aBox.isEmpty() ? QImage() : aMask.copy(aBox);
}

// 0 for the same drawing, up to 1 for unrelated ones: the share of ink
// pixels that differ, at the best offset of a pixel either way.
inline double inkDistance(const QImage& irA, const QImage& irB)
{
    if (irA.isNull() || irB.isNull() || qAbs(irA.width() - irB.width()) > 2 || qAbs(irA.height() - irB.height()) > 2)
        return 1;
    double fBest = 1;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int nDiffer = 0, nInk = 0;
            for (int y = -1; y <= qMax(irA.height(), irB.height()); ++y)
                for (int x = -1; x <= qMax(irA.width(), irB.width()); ++x) {
                    const bool bA = irA.valid(x, y) && qGray(irA.pixel(x, y)) > 0;
                    const bool bB = irB.valid(x + dx, y + dy) && qGray(irB.pixel(x + dx, y + dy)) > 0;
                    nDiffer += bA != bB;
                    nInk += bA || bB;
                }
            if (nInk)
                fBest = qMin(fBest, double(nDiffer) / nInk);
        }
    return fBest;
}

// Lines of text in an ink mask: bands of rows with ink, apart by blank rows.
inline int inkLines(const QImage& irMask)
{
    int nLines = 0;
    bool bInBand = false;
    for (int y = 0; y < irMask.height(); ++y) {
        bool bInk = false;
        for (int x = 0; x < irMask.width() && !bInk; ++x)
            bInk = qGray(irMask.pixel(x, y)) > 0;
        nLines += bInk && !bInBand;
        bInBand = bInk;
    }
    return nLines;
}

class PagePixels
{
public:
    explicit PagePixels(PageSession& irSession)
        : mrSession(irSession)
    {
    }

    // Waits for two frames of the page, then for the window to show the same
    // pixels twice in a row, and returns the part of it at irCss (page pixels).
    QImage capture(const QRectF& irCss)
    {
        mrSession.js("window.__painted = false; requestAnimationFrame(() => requestAnimationFrame(() => { window.__painted = true; })); true");
        (void)QTest::qWaitFor([&] { return mrSession.js("window.__painted").toBool(); }, cnRoundTripMs);
        const double f = mrSession.mpView->zoomFactor();
        const QRect aRect = QRectF(irCss.x() * f, irCss.y() * f, irCss.width() * f, irCss.height() * f).toAlignedRect();
        QImage aLast;
        for (int i = 0; i < 50; ++i) {
            QTest::qWait(100);
            const QImage aNow = mrSession.mpView->grab(aRect).toImage().convertToFormat(QImage::Format_RGB32);
            if (!aNow.isNull() && aNow == aLast)
                return aNow;
            aLast = aNow;
        }
        return aLast;
    }

    // The box of the element a script expression names (scrolled into
    // sight), and its text; an empty box when there is no such element.
    QRectF box(const QString& isElement, QString* ipsText = nullptr)
    {
        const QVariantList a = mrSession
                                   .js(QStringLiteral("(function(){ const e = %1; if (!e) return [];"
                                                      " e.scrollIntoView({block: 'nearest', inline: 'nearest'});"
                                                      " const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height, e.textContent]; })()")
                                           .arg(isElement))
                                   .toList();
        if (a.size() != 5)
            return QRectF();
        if (ipsText)
            *ipsText = a[4].toString();
        return QRectF(a[0].toDouble(), a[1].toDouble(), a[2].toDouble(), a[3].toDouble());
    }

    // The ink of isText drawn by itself in a plain box of direction isDir at
    // irAt, in the font and colour of the element isStyleOf, seen in irArea.
    QImage drawnAlone(const QString& isStyleOf, const QString& isText, const QString& isDir, const QRectF& irAt, const QRectF& irArea)
    {
        mrSession.js(QStringLiteral("(function(){ const c = getComputedStyle(%1), b = document.createElement('div');"
                                    " b.id = 'drawn-alone'; b.dir = %2; b.textContent = %3;"
                                    " Object.assign(b.style, { position: 'fixed', zIndex: 100000, margin: 0, padding: 0, border: 0,"
                                    "  left: '%4px', top: '%5px', width: '%6px', height: '%7px', background: '#fff',"
                                    "  color: c.color, font: c.font, fontVariantNumeric: c.fontVariantNumeric, letterSpacing: c.letterSpacing, textTransform: c.textTransform, textDecoration: c.textDecoration, lineHeight: '%7px',"
                                    "  whiteSpace: 'pre', overflow: 'visible', textAlign: %2 === 'rtl' ? 'right' : 'left' });"
                                    " document.body.append(b); return true; })()")
                         .arg(isStyleOf, PageSession::quoted(isDir), PageSession::quoted(isText))
                         .arg(irAt.left())
                         .arg(irAt.top())
                         .arg(irAt.width())
                         .arg(irAt.height()));
        const QImage aImage = inkOf(capture(irArea));
        mrSession.js("document.getElementById('drawn-alone').remove(); true");
        return aImage;
    }

    // Saves images for a person to look at, when VORN_SCREENSHOTS names a folder.
    static void keep(const QString& isName, const QImage& irImage)
    {
        const QString sDir = qEnvironmentVariable("VORN_SCREENSHOTS");
        if (!sDir.isEmpty())
            irImage.save(sDir + "/" + QString(isName).replace(QRegularExpression("[^A-Za-z0-9_-]+"), "_") + ".png");
    }

    // The whole page once it has settled, kept as keep() does.
    void keepPage(const QString& isName)
    {
        if (!qEnvironmentVariableIsEmpty("VORN_SCREENSHOTS"))
            keep(isName, capture(QRectF(QPointF(0, 0), QSizeF(mrSession.mpView->size()) / mrSession.mpView->zoomFactor())));
    }

private:
    PageSession& mrSession;
};
