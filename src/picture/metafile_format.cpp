#include "picture/metafile_format.h"

#include <QtEndian>

namespace Metafile {

namespace {
quint16 u16(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint16>(d.constData() + at); }
quint32 u32(const QByteArray& d, qint64 at) { return qFromLittleEndian<quint32>(d.constData() + at); }
}

bool isWmf(const QByteArray& d)
{
    // An Aldus placeable header, or a bare header: type 1 (memory) or
    // 2 (disk), 9 words long, version 1 or 3.
    if (d.size() >= 22 && u32(d, 0) == 0x9AC6CDD7)
        return d.size() >= 22 + 18;
    return d.size() >= 18 && (u16(d, 0) == 1 || u16(d, 0) == 2) && u16(d, 2) == 9
        && (u16(d, 4) == 0x0300 || u16(d, 4) == 0x0100);
}

bool isEmf(const QByteArray& d)
{
    // EMR_HEADER first, with the " EMF" signature.
    return d.size() >= 88 && u32(d, 0) == 1 && u32(d, 40) == 0x464D4520;
}

}
