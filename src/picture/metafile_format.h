#pragma once
#include <QByteArray>
#include <QSize>
#include <QtGlobal>

#include <optional>

// What the picture loader and the metafile helper agree on.
namespace Metafile {

// Larger raster pictures are refused before anything is allocated for them.
constexpr qint64 maxPixels = 100'000'000;

// A metafile is a drawing: one larger than this is drawn smaller, in
// proportion, since no screen shows more of it at once and every pixel drawn
// costs memory in the helper and in the viewer.
constexpr qint64 maxDrawnPixels = qint64(4096) * 4096;

// Recognised by content, whatever the file is called.
bool isWmf(const QByteArray& data);
bool isEmf(const QByteArray& data);

// The size a metafile is drawn at, from its header alone: the frame at 96 DPI.
// nullopt when the frame is empty or its sides overflow; an invalid QSize when
// only playing the drawing tells (a WMF without a placeable header).
std::optional<QSize> headerSize(const QByteArray& data);

// The size a metafile of the given natural size is drawn at: the natural size,
// or shrunk in proportion to at most limit pixels (each side at least 1).
QSize drawnSize(QSize natural, qint64 limit);

}
