#pragma once
#include <QCoreApplication>
#include <QSurfaceFormat>

// Settings the program makes before its application object exists.
inline void setApplicationAttributes()
{
    QSurfaceFormat aSurfaceFormat;
    aSurfaceFormat.setAlphaBufferSize(8);
    QSurfaceFormat::setDefaultFormat(aSurfaceFormat);
    // The web view shares GL contexts with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The viewer writes no files of its own; Qt would otherwise keep
    // compiled shaders in the user's cache folder.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
}
