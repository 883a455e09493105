#include "editor/rtf/rtf.h"

#include "editor/rtf/document_picture.h"
#include "picture/picture_loader.h"

#include <QBuffer>
#include <QImageReader>

namespace {

// A JPEG that needs no turning keeps its own bytes.
bool keepsOwnBytes(const QByteArray& bytes)
{
    if (!isJpeg(bytes))
        return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.transformation() == QImageIOHandler::TransformationNone;
}

}

void insertPictureFile(QTextCursor& cursor, const QString& path)
{
    DocumentPicture picture;
    const QImage image = loadPictureWithData(path, picture.bytes);
    if (!keepsOwnBytes(picture.bytes))
        picture.bytes = pngBytes(image);
    picture.natural = image.size();
    picture.shown = image.size();
    insertDocumentPicture(cursor, picture);
}
