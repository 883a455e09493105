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

}
