#include "metafile/dib_image.h"
#include "metafile/dib_check.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace Metafile {

QImage dibImage(const QByteArray& info, const QByteArray& bits)
{
    QByteArray file = info + bits;
    if (!dibIsReadable(reinterpret_cast<const unsigned char*>(file.constData()), file.size()))
        return {};
    // Qt reads bitmaps as files: the file header says where the pixels start.
    char header[14] = {'B', 'M'};
    qToLittleEndian<quint32>(quint32(file.size() + 14), header + 2);
    qToLittleEndian<quint32>(quint32(info.size() + 14), header + 10);
    file.prepend(header, 14);
    QBuffer buffer(&file);
    QImageReader reader(&buffer, "bmp");
    QImage image = reader.read();
    // The pixels of a 32-bit bitmap keep no alpha unless blended.
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

QImage packedDibImage(const QByteArray& packed)
{
    if (packed.size() < 16)
        return {};
    const quint32 headerSize = qFromLittleEndian<quint32>(packed.constData());
    const bool core = headerSize == 12;
    const quint32 bits = qFromLittleEndian<quint16>(packed.constData() + (core ? 10 : 14));
    const quint32 compression = core || packed.size() < 20 ? 0 : qFromLittleEndian<quint32>(packed.constData() + 16);
    const quint32 used = core || packed.size() < 36 ? 0 : qFromLittleEndian<quint32>(packed.constData() + 32);
    const qint64 entries = bits <= 8 ? std::min<qint64>(used ? used : 1 << bits, 1 << bits) : used;
    qint64 info = qint64(headerSize) + entries * (core ? 3 : 4);
    if (compression == 3 && headerSize == 40)
        info += 12; // the three colour masks
    if (info > packed.size())
        return {};
    return dibImage(packed.left(info), packed.mid(info));
}

}
