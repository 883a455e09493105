#pragma once
#include <QByteArray>
#include <QList>
#include <QRect>
#include <QSize>

// Windows metafiles with known content, for the loader tests and the samples.
// Each draws the same page, laid out in proportion to its size on white: a
// red rectangle over the top-left (x 5-45 %, y 6.7-46.7 %), a blue ellipse
// over the top-right (x 55-95 %, same rows), both outlined in black, and a
// green zigzag line across the lower third. At 400 x 300 the rectangle runs
// from (20,20) to (180,140) and the ellipse is centred at (300,80).
namespace MetafileWriter {

constexpr QSize drawingSize{400, 300};

// A placeable WMF whose header declares size pixels at 96 DPI, in logical
// units of 1/inch of an inch; the zigzag's pen is zigzagPen pixels wide.
QByteArray wmf(QSize size = drawingSize, int inch = 1440, int zigzagPen = 3);
// The WMF with another placeable box, in units of 1/inch of an inch; its
// window stays as it was.
QByteArray withPlaceableBox(QByteArray wmf, QRect box, int inch);
// A WMF record: its function and parameter words.
struct WmfRecord {
    quint16 function;
    QList<qint16> words;
};
// A placeable WMF of 400 x 300 pixels, a unit a pixel, of these records
// after its window; damaged: the last one claims more words than there are.
QByteArray wmfPage(const QList<WmfRecord>& records, bool damaged = false);
// A WMF page using each kind of record the metafile helper plays.
QByteArray wmfOfEveryKind();
// text from (200,150) in a 40-pixel font of the face and character set, as
// align says, turned by escapement (tenths of a degree).
QByteArray wmfText(const QByteArray& face, int charset, const QByteArray& text, quint16 align, qint16 escapement);
// An EMF whose frame declares size pixels at 96 DPI, drawn in pixels.
QByteArray emf(QSize size = drawingSize);
// An EMF whose frame (its page, 400 x 300 pixels at 96 DPI) starts at
// (50,50) of the reference device, with a black block of 200 x 150 pixels in
// its middle; the bounds enclose the block alone, as many writers set them.
// Without brush, the block is drawn with the pen and brush a page starts with.
QByteArray emfWithMargin(bool brush = true);
// An EMF of 200 x 100 pixels with text in a 60-pixel font of the given face,
// from (20,20), 40 pixels a character.
QByteArray emfText(const QString& face, const QString& text);
// The same EMF with EMF+ comments: a proper EMF+ header, and later object
// and drawing records whose sizes, counts and object types are nonsense.
QByteArray emfWithBadEmfPlus(QSize size = drawingSize);

// An EMF+ record of 32-bit data words.
QByteArray emfPlusRecord(quint16 type, quint16 flags, const QList<qint32>& data = {});
// An EMF whose frame declares size pixels at 96 DPI and whose only drawing
// is the EMF+ records, after an EMF+ header of 96 DPI, in one comment.
QByteArray emfPlusOnly(const QByteArray& records, QSize size = drawingSize);
// The page in EMF+ records of most kinds: objects, transforms, clipping,
// shapes in 16-bit and float points, a path and a line of text.
QByteArray emfPlusPage(QSize size = drawingSize);

}
