#include "picture/picture_writer.h"

#include "core/failure.h"
#include "core/file_system.h"

#include <QBuffer>
#include <QImageWriter>

void writeBmp(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        Errors::raise(Errors::invalidPicture());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        Errors::raise(Errors::invalidPicture(writer.errorString()));
    FileSystem::writeFile(path, bytes);
}
