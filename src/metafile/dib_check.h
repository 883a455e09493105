#pragma once
#include <QtGlobal>

namespace Metafile {

// Bitmaps inside a metafile larger than this are skipped: each is decoded
// whole before it is drawn, and a pattern brush is tiled from it.
constexpr qint64 maxBitmapPixels = qint64(8192) * 8192;

// Whether a device-independent bitmap (header, colour table, pixels) is sound
// enough to hand to a bitmap reader, which trusts its header: an unknown
// header size makes it skip billions of bytes, and the claimed size is
// allocated before any pixel is read.
bool dibIsReadable(const unsigned char* data, qint64 length);

}
