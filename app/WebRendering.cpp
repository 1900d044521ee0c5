#include "WebRendering.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QDebug>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace {

// The name of the OpenGL renderer, lower case; empty without OpenGL.
QString openGlRenderer()
{
    QOpenGLContext aContext;
    if (!aContext.create())
        return {};
    QOffscreenSurface aSurface;
    aSurface.setFormat(aContext.format());
    aSurface.create();
    if (!aSurface.isValid() || !aContext.makeCurrent(&aSurface))
        return {};
    const auto* pName = reinterpret_cast<const char*>(aContext.functions()->glGetString(GL_RENDERER));
    const QString sName = QString::fromLatin1(pName ? pName : "").toLower();
    aContext.doneCurrent();
    return sName;
}

} // namespace

void chooseWebRendering()
{
    static bool bChosen = false;
    if (bChosen)
        return;
    bChosen = true;
    // A choice the environment makes stands.
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") || qEnvironmentVariableIsSet("QMLSCENE_DEVICE"))
        return;
    // OpenGL drawn by the processor (a virtual machine, a remote desktop, a
    // display without a graphics card) redraws the whole web view through
    // it for every frame the page changes: a scrolling list then runs at a
    // fifth of the display's frame rate. Qt Quick's software renderer draws
    // only what changed.
    const QString sRenderer = openGlRenderer();
    const bool bSoftware = sRenderer.isEmpty() || sRenderer.contains("llvmpipe") || sRenderer.contains("softpipe")
        || sRenderer.contains("swrast") || sRenderer.contains("software");
    if (bSoftware)
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    qInfo() << "OpenGL renderer: " << (sRenderer.isEmpty() ? QStringLiteral("none") : sRenderer)
            << (bSoftware ? ", web view drawn by the software renderer" : "");
}
