#include "metafile/dib_check.h"

#include <QtEndian>

namespace Metafile {

namespace {

enum Compression : quint32 { rgb = 0, rle8 = 1, rle4 = 2, bitfields = 3 };

bool knownDepth(quint32 bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}

bool dibIsReadable(const unsigned char* data, qint64 length)
{
    if (!data || length < 12)
        return false;
    const quint32 headerSize = qFromLittleEndian<quint32>(data);
    qint64 width = 0, height = 0;
    quint32 planes = 0, bits = 0, compression = rgb, colours = 0;
    qint64 entrySize = 4;
    if (headerSize == 12) { // OS/2 core header
        width = qFromLittleEndian<quint16>(data + 4);
        height = qFromLittleEndian<quint16>(data + 6);
        planes = qFromLittleEndian<quint16>(data + 8);
        bits = qFromLittleEndian<quint16>(data + 10);
        entrySize = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64
               || headerSize == 108 || headerSize == 124) {
        if (length < headerSize)
            return false;
        width = qFromLittleEndian<qint32>(data + 4);
        height = qFromLittleEndian<qint32>(data + 8);
        planes = qFromLittleEndian<quint16>(data + 12);
        bits = qFromLittleEndian<quint16>(data + 14);
        compression = qFromLittleEndian<quint32>(data + 16);
        colours = qFromLittleEndian<quint32>(data + 32);
    } else {
        return false;
    }
    height = qAbs(height); // negative: stored top line first
    if (planes != 1 || !knownDepth(bits) || width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF
        || width * height > maxBitmapPixels)
        return false;
    if ((compression == rle8 && bits != 8) || (compression == rle4 && bits != 4)
        || (compression == bitfields && bits != 16 && bits != 32) || compression > bitfields)
        return false;

    const qint64 tableEntries = bits <= 8 ? qMin<qint64>(colours ? colours : 1 << bits, 1 << bits) : colours;
    qint64 needed = headerSize + tableEntries * entrySize;
    if (compression == bitfields && headerSize == 40)
        needed += 12; // the three colour masks
    if (compression == rgb || compression == bitfields)
        needed += (width * bits + 31) / 32 * 4 * height;
    return needed <= length;
}

}
