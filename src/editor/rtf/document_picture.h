#pragma once
#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

class QTextCursor;
class QTextDocument;
class QTextImageFormat;

// A picture as the document holds it: a JPEG's own bytes or PNG, with the
// size of the encoded picture and the size it is shown at, in pixels.
struct DocumentPicture {
    QByteArray bytes;
    QSize natural;
    QSize shown;
};

bool isJpeg(QByteArrayView bytes);
bool isPng(QByteArrayView bytes);
QByteArray pngBytes(const QImage& image);
// The size a JPEG or PNG header declares; invalid for anything else and for
// pictures too large to show.
QSize encodedSize(const QByteArray& bytes);

// Adds the picture to the document as an image resource of its own and
// inserts it at the cursor.
void insertDocumentPicture(QTextCursor& cursor, const DocumentPicture& picture);

// The picture an image of the document stands for; nullopt when its resource
// is missing or is no picture.
std::optional<DocumentPicture> documentPicture(const QTextDocument& document, const QTextImageFormat& image);
