#include "editor/rtf/document_picture.h"

#include "picture/metafile_format.h"

#include <QBuffer>
#include <QImageReader>
#include <QPixmap>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <atomic>

bool isJpeg(QByteArrayView bytes) { return bytes.startsWith("\xFF\xD8\xFF"); }
bool isPng(QByteArrayView bytes) { return bytes.startsWith("\x89PNG\r\n\x1A\n"); }

QByteArray pngBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

QSize encodedSize(const QByteArray& bytes)
{
    if (!isJpeg(bytes) && !isPng(bytes))
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || qint64(size.width()) * size.height() > Metafile::maxPixels)
        return {};
    return size;
}

void insertDocumentPicture(QTextCursor& cursor, const DocumentPicture& picture)
{
    // Names are unique in the process, so that pictures from several files
    // in one document never share a resource.
    static std::atomic<int> count{0};
    const QString name = QStringLiteral("picture-%1.%2").arg(++count).arg(isJpeg(picture.bytes) ? u"jpg" : u"png");
    cursor.document()->addResource(QTextDocument::ImageResource, QUrl(name), picture.bytes);
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(picture.shown.width());
    format.setHeight(picture.shown.height());
    cursor.insertImage(format);
}

std::optional<DocumentPicture> documentPicture(const QTextDocument& document, const QTextImageFormat& image)
{
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.name()));
    DocumentPicture picture;
    if (resource.userType() == QMetaType::QByteArray) {
        picture.bytes = resource.toByteArray();
        if (!isJpeg(picture.bytes) && !isPng(picture.bytes))
            picture.bytes = pngBytes(QImage::fromData(picture.bytes));
    } else if (resource.userType() == QMetaType::QImage) {
        picture.bytes = pngBytes(resource.value<QImage>());
    } else if (resource.userType() == QMetaType::QPixmap) {
        picture.bytes = pngBytes(resource.value<QPixmap>().toImage());
    }
    picture.natural = encodedSize(picture.bytes);
    if (!picture.natural.isValid())
        return std::nullopt;
    // A box given one side keeps the picture's proportions, as QTextEdit does.
    const QSize natural = picture.natural;
    const double width = image.width(), height = image.height();
    if (width > 0 && height > 0)
        picture.shown = QSize(qMax(1, qRound(width)), qMax(1, qRound(height)));
    else if (width > 0)
        picture.shown = QSize(qMax(1, qRound(width)), qMax(1, qRound(width * natural.height() / natural.width())));
    else if (height > 0)
        picture.shown = QSize(qMax(1, qRound(height * natural.width() / natural.height())), qMax(1, qRound(height)));
    else
        picture.shown = natural;
    return picture;
}
