#pragma once
#include <QByteArray>
#include <QImage>

namespace Metafile {

// A device-independent bitmap's header and colour table (info) and its
// pixels as a picture; null when dibIsReadable refuses them or Qt cannot
// read them.
QImage dibImage(const QByteArray& info, const QByteArray& bits);
// The same from a packed DIB, its pixels right after its colour table.
QImage packedDibImage(const QByteArray& packed);

}
