#pragma once
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

// Draws a WMF or EMF file in the pxmetafile helper process beside the
// program, with a time and memory limit, so that a fault in the metafile
// libraries is an ordinary load failure. The drawing has at most maxPixels
// pixels, shrunk in proportion; natural, when given, receives the size the
// header gives.
// cancelled, when given, is watched while the helper draws: a drawing nobody
// wants any more is killed, not waited for, as is one still drawing when
// timeLimitMs have passed. Throws PxError.
// A thread-sanitizer build runs the helper, and the copying of its pixels,
// several times slower; its limits grow with it.
#if defined(__SANITIZE_THREAD__)
constexpr int metafileSlowdown = 4;
#else
constexpr int metafileSlowdown = 1;
#endif
constexpr int metafileTimeLimitMs = 8000 * metafileSlowdown;
QImage drawMetafile(const QString& path, qint64 maxPixels, const std::atomic<bool>* cancelled, QSize* natural,
                    int timeLimitMs = metafileTimeLimitMs);
