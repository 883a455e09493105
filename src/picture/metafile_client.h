#pragma once
#include <QImage>
#include <QString>

#include <atomic>

// Draws a WMF or EMF file in the pxmetafile helper process beside the
// program, with a time and memory limit, so that a fault in the metafile
// libraries is an ordinary load failure. cancelled, when given, is watched
// while the helper draws: a drawing nobody wants any more is killed, not
// waited for. Throws PxError.
QImage drawMetafile(const QString& path, const std::atomic<bool>* cancelled);
