#pragma once
#include <QtGlobal>

namespace Metafile {

// Bitmaps inside a metafile larger than this are skipped: libwmf copies a
// pattern brush pixel by pixel and allocates every bitmap whole.
constexpr qint64 maxBitmapPixels = qint64(8192) * 8192;

// Whether a device-independent bitmap (header, colour table, pixels) is sound
// enough to hand to libwmf's reader, which trusts its header: an unknown
// header size makes it skip billions of bytes, and the claimed size is
// allocated before any pixel is read.
bool dibIsReadable(const unsigned char* data, qint64 length);

}
