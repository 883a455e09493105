#pragma once
#include <QByteArray>
#include <QString>

#include <QList>

#include <atomic>

class QTextCursor;
class QTextDocument;

// A picture of a document that could not be shown: its number, counting the
// document's pictures from 1, and why.
struct LeftOutPicture {
    int number;
    QString reason;
};

// The editor's rich text on disk. A picture in the document is an image
// resource holding its encoded bytes (a JPEG's own bytes, PNG for every other
// format) under the name its image format gives; its width and height in the
// format are the size it is shown at, in pixels. The writer also takes
// pictures held as QImage or QPixmap resources (pasted ones) and writes them
// as PNG.

// Inserts the text, formatting and pictures of an RTF file at the cursor.
// Never throws and never fails on damaged input: what can be read is
// inserted. Returns false, inserting nothing, for data that is not RTF.
// Reading into a new document records no undo steps. Reading into a document
// that a shown text box lays out is several times slower than reading into a
// new one and then giving it to the box (QTextEdit::setDocument): a 5 MB file
// takes seconds instead of under one.
// The metafiles of the file share one time limit for their drawing, that of
// one metafile alone; a picture that cannot be shown, for that or any other
// reason, is left out and named in leftOut when given. cancelled, when
// given and set, gives the drawing up.
bool insertRtf(QTextCursor& cursor, const QByteArray& rtf, QList<LeftOutPicture>* leftOut = nullptr,
               const std::atomic<bool>* cancelled = nullptr);

// The whole document as RTF 1.9 that word processors read back alike.
QByteArray writeRtf(const QTextDocument& document);

// Inserts a picture file at the cursor at its natural size, embedded as the
// document holds pictures. Throws PxError as loading the picture would.
void insertPictureFile(QTextCursor& cursor, const QString& path);
