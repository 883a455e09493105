#include "samples/metafile_writer.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QtEndian>

#include <bit>
#include <cmath>
#include <initializer_list>

namespace MetafileWriter {

namespace {

template <typename T> void put(QByteArray& out, T v)
{
    char b[sizeof v];
    qToLittleEndian(v, b);
    out.append(b, sizeof v);
}

constexpr quint32 red = 0x0000ff, blue = 0xff0000, green = 0x00a000, black = 0; // COLORREF 0x00BBGGRR

// The page in pixels: inclusive corners of the rectangle and the ellipse's
// box, and the corners of the zigzag.
struct Layout {
    explicit Layout(QSize s) : w(s.width()), h(s.height()) {}
    int x(int twentieths) const { return int(std::lround(w * twentieths / 20.0)); }
    int y(int fifteenths) const { return int(std::lround(h * fifteenths / 15.0)); }
    QRect rectangle() const { return QRect(QPoint(x(1), y(1)), QPoint(x(9), y(7))); }
    QRect ellipse() const { return QRect(QPoint(x(11), y(1)), QPoint(x(19), y(7))); }
    QList<QPoint> zigzag() const
    {
        QList<QPoint> points;
        for (int i = 0; i < 5; ++i)
            points << QPoint(x(1 + 4 * i), y(i % 2 ? 13 : 9));
        return points;
    }
    int w, h;
};

// ---- WMF: records of 16-bit words, sized in words.

struct WmfRecords {
    QByteArray bytes;
    quint32 largest = 3;
    void add(quint16 function, std::initializer_list<qint16> params) { add(function, QList<qint16>(params)); }
    void add(quint16 function, const QList<qint16>& params)
    {
        const quint32 words = 3 + quint32(params.size());
        put<quint32>(bytes, words);
        put<quint16>(bytes, function);
        for (qint16 p : params)
            put<qint16>(bytes, p);
        largest = std::max(largest, words);
    }
};

qint16 low(quint32 colour) { return qint16(colour & 0xffff); }
qint16 high(quint32 colour) { return qint16(colour >> 16); }

// The bytes as words, padded to an even length.
QList<qint16> chars(QByteArray text)
{
    if (text.size() % 2)
        text += '\0';
    QList<qint16> out;
    for (qsizetype i = 0; i < text.size(); i += 2)
        out << qint16(quint8(text[i]) | quint8(text[i + 1]) << 8);
    return out;
}

// The placeable header (a box of width x height units, inch of them an
// inch), the header, the records and their end.
QByteArray wmfOf(const WmfRecords& records, qint16 width, qint16 height, int inch, quint16 objects)
{
    WmfRecords r = records;
    r.add(0x0000, {});                 // end of file
    QByteArray out;
    put<quint32>(out, 0x9AC6CDD7);
    for (qint16 v : {qint16(0), qint16(0), qint16(0), width, height, qint16(inch)})
        put<qint16>(out, v);
    put<quint32>(out, 0);
    quint16 checksum = 0; // XOR of the ten words before it
    for (int i = 0; i < 20; i += 2)
        checksum ^= qFromLittleEndian<quint16>(out.constData() + i);
    put<quint16>(out, checksum);

    put<quint16>(out, 1);              // in memory
    put<quint16>(out, 9);              // header words
    put<quint16>(out, 0x0300);
    put<quint32>(out, quint32(9 + r.bytes.size() / 2));
    put<quint16>(out, objects);
    put<quint32>(out, r.largest);
    put<quint16>(out, 0);
    return out + r.bytes;
}

// ---- EMF: records of 32-bit fields, sized in bytes.

struct EmfRecords {
    QByteArray bytes;
    quint32 count = 0;
    void add(quint32 type, std::initializer_list<qint32> fields)
    {
        put<quint32>(bytes, type);
        put<quint32>(bytes, quint32(8 + 4 * fields.size()));
        for (qint32 f : fields)
            put<qint32>(bytes, f);
        ++count;
    }
    // EMR_COMMENT holding EMF+ records after the "EMF+" mark.
    void addEmfPlus(const QByteArray& records)
    {
        QByteArray data = "EMF+" + records;
        while (data.size() % 4)
            data.append('\0');
        put<quint32>(bytes, 70);
        put<quint32>(bytes, quint32(12 + data.size()));
        put<quint32>(bytes, quint32(data.size()));
        bytes += data;
        ++count;
    }
};

enum : quint32 {
    EMR_HEADER = 1, EMR_POLYLINE = 4, EMR_EOF = 14, EMR_SELECTOBJECT = 37, EMR_CREATEPEN = 38,
    EMR_CREATEBRUSHINDIRECT = 39, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43
};

// An EMF+ record: type, flags, size, data size, data.
QByteArray emfPlus(quint16 type, quint16 flags, const QByteArray& data, quint32 claimedDataSize)
{
    QByteArray out;
    put<quint16>(out, type);
    put<quint16>(out, flags);
    put<quint32>(out, quint32(12 + data.size()));
    put<quint32>(out, claimedDataSize);
    return out + data;
}
QByteArray emfPlus(quint16 type, quint16 flags, const QByteArray& data = {})
{
    return emfPlus(type, flags, data, quint32(data.size()));
}
QByteArray words(std::initializer_list<quint32> values)
{
    QByteArray out;
    for (quint32 v : values)
        put<quint32>(out, v);
    return out;
}

// The header: device bounds in pixels and the frame in 0.01 mm, both
// inclusive; a 1920 x 1440 reference device of 96 DPI (508 x 381 mm).
QByteArray emfOf(const EmfRecords& r, QRect bounds, QRect frame, quint16 handles)
{
    constexpr int headerSize = 108;
    QByteArray out;
    put<quint32>(out, EMR_HEADER);
    put<quint32>(out, headerSize);
    for (QRect box : {bounds, frame})
        for (qint32 v : {box.left(), box.top(), box.right(), box.bottom()})
            put<qint32>(out, v);
    put<quint32>(out, 0x464D4520); // " EMF"
    put<quint32>(out, 0x10000);
    put<quint32>(out, quint32(headerSize + r.bytes.size()));
    put<quint32>(out, r.count + 1);
    put<quint16>(out, handles);
    put<quint16>(out, 0);
    for (qint32 v : {0, 0, 0, 1920, 1440, 508, 381, 0, 0, 0, 508'000, 381'000})
        put<qint32>(out, v);
    return out + r.bytes;
}

QByteArray emfFile(QSize size, bool withEmfPlus)
{
    const Layout page(size);
    EmfRecords r;
    if (withEmfPlus) // header record, flagged as dual (EMF records follow)
        r.addEmfPlus(emfPlus(0x4001, 0x0001, words({0xDBC01002, 1, 96, 96})));
    r.add(EMR_CREATEBRUSHINDIRECT, {1, 0, qint32(red), 0});
    r.add(EMR_CREATEBRUSHINDIRECT, {2, 0, qint32(blue), 0});
    r.add(EMR_CREATEPEN, {3, 0, 1, 0, qint32(black)});
    r.add(EMR_CREATEPEN, {4, 0, 3, 0, qint32(green)});
    const QRect box = page.rectangle(), oval = page.ellipse();
    r.add(EMR_SELECTOBJECT, {3});
    r.add(EMR_SELECTOBJECT, {1});
    r.add(EMR_RECTANGLE, {box.left(), box.top(), box.right(), box.bottom()});
    r.add(EMR_SELECTOBJECT, {2});
    r.add(EMR_ELLIPSE, {oval.left(), oval.top(), oval.right(), oval.bottom()});
    if (withEmfPlus) {
        QByteArray bad;
        bad += emfPlus(0x4008, 0x0100, words({0xDBC01002, 0}), 0xFFFFFF00);   // brush, data size past the end
        bad += emfPlus(0x4008, 0x0301, words({0xDBC01002, 0x7FFFFFFF, 0}));    // path of 2^31 points
        bad += emfPlus(0x4008, 0x7F02, words({0xDEADBEEF}));                   // no such object type
        bad += emfPlus(0x400A, 0x0000, words({7, 1'000'000, 0, 0, 10, 10}));   // fill rects: unknown brush, too many
        bad += emfPlus(0x400A, 0x8000, words({0xFF00FF00, 1, 0, 0, 0x4B000000, 0x4B000000})); // green page, not shown
        bad += emfPlus(0x4002, 0x0000);                                        // end of file
        r.addEmfPlus(bad);
    }
    r.add(EMR_SELECTOBJECT, {4});
    const QList<QPoint> zigzag = page.zigzag();
    QByteArray polyline;
    put<quint32>(polyline, EMR_POLYLINE);
    put<quint32>(polyline, quint32(28 + 8 * zigzag.size()));
    for (qint32 v : {page.x(1), page.y(9), page.x(17), page.y(13), qint32(zigzag.size())})
        put<qint32>(polyline, v);
    for (const QPoint& p : zigzag) {
        put<qint32>(polyline, p.x());
        put<qint32>(polyline, p.y());
    }
    r.bytes += polyline;
    ++r.count;
    r.add(EMR_EOF, {0, 16, 20});
    const QRect frame(0, 0, int(std::lround(size.width() * 2540.0 / 96)), int(std::lround(size.height() * 2540.0 / 96)));
    return emfOf(r, QRect(QPoint(0, 0), size), frame, 5); // the four objects and the metafile itself
}

}

QByteArray wmf(QSize size, int inch, int zigzagPen)
{
    const Layout page(size);
    auto lu = [inch](int pixels) { return qint16(std::lround(pixels * inch / 96.0)); };
    const qint16 width = lu(size.width()), height = lu(size.height());

    WmfRecords r;
    r.add(0x020B, {0, 0});             // SETWINDOWORG y, x
    r.add(0x020C, {height, width});    // SETWINDOWEXT y, x
    r.add(0x0103, {8});                // SETMAPMODE anisotropic
    r.add(0x0102, {1});                // SETBKMODE transparent
    r.add(0x02FC, {0, low(red), high(red), 0});         // CREATEBRUSHINDIRECT solid: object 0
    r.add(0x02FC, {0, low(blue), high(blue), 0});       // object 1
    r.add(0x02FA, {0, lu(1), 0, low(black), high(black)}); // CREATEPENINDIRECT solid: object 2
    r.add(0x02FA, {0, lu(zigzagPen), 0, low(green), high(green)}); // object 3
    const QRect box = page.rectangle(), oval = page.ellipse();
    r.add(0x012D, {2});                // SELECTOBJECT
    r.add(0x012D, {0});
    r.add(0x041B, {lu(box.bottom()), lu(box.right()), lu(box.top()), lu(box.left())});     // RECTANGLE
    r.add(0x012D, {1});
    r.add(0x0418, {lu(oval.bottom()), lu(oval.right()), lu(oval.top()), lu(oval.left())}); // ELLIPSE
    r.add(0x012D, {3});
    QList<qint16> polyline{qint16(page.zigzag().size())};
    for (const QPoint& p : page.zigzag())
        polyline << lu(p.x()) << lu(p.y());
    r.add(0x0325, polyline);           // POLYLINE
    return wmfOf(r, width, height, inch, 4);
}

QByteArray wmfOfEveryKind()
{
    // A Symbol font of 40 pixels at 45 degrees; a 2 x 2 24-bit DIB, rows padded to 8 bytes.
    QList<qint16> font{-40, 0, 450, 450, 700, 1, 2 << 8, 0, 0};
    font << qint16('S' | 'y' << 8) << qint16('m' | 'b' << 8) << qint16('o' | 'l' << 8) << QList<qint16>(13, 0);
    const QList<qint16> dib{40, 0, 2, 0, 2, 0, 1, 24, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            -1, 0, 255, 0, 0, -1, -1, 0};
    return wmfPage({
        {0x06FF, {0, 6, 0, 0, 34, 1, 4, 20, 20, 300, 60, 4, 20, 60, 20, 100, 200, 300, 4}}, // CREATEREGION: 0
        {0x02FC, {2, low(blue), high(blue), 3}},                // CREATEBRUSHINDIRECT hatched: 1
        {0x02FB, font},                                         // CREATEFONTINDIRECT: 2
        {0x00F7, {0x300, 1, 0, 0}},                             // CREATEPALETTE: 3
        {0x0142, QList<qint16>{5, 0} << dib},                   // DIBCREATEPATTERNBRUSH: 4
        {0x012C, {0}},                                          // SELECTCLIPREGION
        {0x0220, {5, 5}},                                       // OFFSETCLIPRGN
        {0x0228, {0, 1}},                                       // FILLREGION
        {0x0429, {0, 1, 3, 3}},                                 // FRAMEREGION
        {0x012A, {0}},                                          // INVERTREGION
        {0x012B, {0}},                                          // PAINTREGION
        {0x012C, {-1}},                                         // SELECTCLIPREGION of nothing
        {0x001E, {}},                                           // SAVEDC
        {0x0416, {290, 390, 10, 10}},                           // INTERSECTCLIPRECT
        {0x0415, {150, 150, 100, 100}},                         // EXCLUDECLIPRECT
        {0x012D, {4}},                                          // SELECTOBJECT
        {0x061C, {20, 20, 200, 190, 80, 10}},                   // ROUNDRECT
        {0x081A, {200, 200, 120, 300, 280, 390, 120, 210}},     // PIE
        {0x0830, {250, 10, 250, 190, 290, 190, 210, 10}},       // CHORD
        {0x0817, {100, 300, 100, 200, 140, 390, 60, 210}},      // ARC
        {0x0538, {2, 3, 3, 10, 10, 50, 10, 30, 40, 60, 10, 90, 10, 75, 40}}, // POLYPOLYGON
        {0x0127, {-1}},                                         // RESTOREDC
        {0x012D, {2}},
        {0x012E, {24}},                                         // SETTEXTALIGN baseline
        {0x0102, {2}},                                          // SETBKMODE opaque
        {0x0A32, {150, 20, 3, 6, 20, 110, 120, 160, qint16(0xB361), 0xD0, 30, 30, 30}}, // EXTTEXTOUT
        {0x0521, {2, 'a' | 'b' << 8, 250, 300}},                // TEXTOUT
        {0x061D, {0x21, 0xF0, 20, 40, 260, 340}},               // PATBLT PATCOPY
        {0x0B41, QList<qint16>{0x20, 0xCC, 2, 2, 0, 0, 40, 40, 250, 20} << dib}, // DIBSTRETCHBLT
        {0x0F43, QList<qint16>{0x20, 0xCC, 0, 2, 2, 0, 0, 30, 60, 200, 330} << dib}, // STRETCHDIB
        {0x041F, {0, 255, 5, 5}},                               // SETPIXEL
        {0x01F0, {0}},                                          // DELETEOBJECT
        {0x0626, {15, 0}},                                      // ESCAPE, skipped
    });
}

QByteArray wmfPage(const QList<WmfRecord>& records, bool damaged)
{
    WmfRecords r;
    r.add(0x0103, {8});                // SETMAPMODE anisotropic
    r.add(0x020C, {300, 400});         // SETWINDOWEXT y, x
    qsizetype last = 0;
    for (const auto& [function, words] : records) {
        last = r.bytes.size();
        r.add(function, words);
    }
    QByteArray out = wmfOf(r, 400, 300, 96, 16);
    if (damaged)
        qToLittleEndian<quint32>(1000, out.data() + 40 + last);
    return out;
}

QByteArray wmfText(const QByteArray& face, int charset, const QByteArray& text, quint16 align, qint16 escapement)
{
    const QList<qint16> font = QList<qint16>{-40, 0, escapement, escapement, 400, 0, qint16(charset << 8), 0, 0}
        << chars(face.leftJustified(32, '\0').left(32));
    return wmfPage({{0x02FB, font}, {0x012D, {0}}, {0x012E, {qint16(align)}},
                    {0x0521, QList<qint16>{qint16(text.size())} << chars(text) << 150 << 200}});
}


QByteArray withPlaceableBox(QByteArray wmf, QRect box, int inch)
{
    const qint16 values[] = {qint16(box.left()), qint16(box.top()), qint16(box.left() + box.width()),
                             qint16(box.top() + box.height()), qint16(inch)};
    for (int i = 0; i < 5; ++i)
        qToLittleEndian<qint16>(values[i], wmf.data() + 6 + 2 * i);
    return wmf;
}

QByteArray emf(QSize size) { return emfFile(size, false); }

QByteArray emfWithMargin(bool brush)
{
    EmfRecords r;
    if (brush) {
        r.add(EMR_CREATEBRUSHINDIRECT, {1, 0, qint32(black), 0});
        r.add(EMR_SELECTOBJECT, {1});
        r.add(EMR_SELECTOBJECT, {qint32(0x80000008)}); // the stock pen that draws nothing
    }
    const QRect block(150, 125, 200, 150);
    r.add(EMR_RECTANGLE, {block.left(), block.top(), block.right() + 1, block.bottom() + 1});
    r.add(EMR_EOF, {0, 16, 20});
    const auto mm = [](int pixels) { return int(std::lround(pixels * 2540.0 / 96)); };
    return emfOf(r, block, QRect(QPoint(mm(50), mm(50)), QPoint(mm(450) - 1, mm(350) - 1)), 2);
}

QByteArray emfText(const QString& face, const QString& text)
{
    enum : quint32 { EMR_SETBKMODE = 18, EMR_SETTEXTCOLOR = 24, EMR_EXTCREATEFONTINDIRECTW = 82, EMR_EXTTEXTOUTW = 84 };
    EmfRecords r;
    r.add(EMR_SETBKMODE, {1});       // transparent
    r.add(EMR_SETTEXTCOLOR, {qint32(black)});
    // LOGFONTW: 60 pixels high, normal weight, face name; then the rest of
    // an ENUMLOGFONTEXDV, zeros.
    QByteArray font;
    for (qint32 v : {1, -60, 0, 0, 0, 400, 0, 0})
        put<qint32>(font, v);
    font += QByteArray(reinterpret_cast<const char*>(face.left(31).utf16()), 2 * face.left(31).size());
    font += QByteArray(4 + 320 - font.size(), '\0');
    put<quint32>(r.bytes, EMR_EXTCREATEFONTINDIRECTW);
    put<quint32>(r.bytes, quint32(8 + font.size()));
    r.bytes += font;
    ++r.count;
    r.add(EMR_SELECTOBJECT, {1});
    // EXTTEXTOUTW: bounds, graphics mode, scales, then the text at (20,20),
    // its 76-byte head followed by the characters and their advances.
    const qint32 chars = qint32(text.size());
    const qint32 dxAt = 76 + (2 * chars + 3) / 4 * 4;
    put<quint32>(r.bytes, EMR_EXTTEXTOUTW);
    put<quint32>(r.bytes, quint32(dxAt + 4 * chars));
    for (qint32 v : {0, 0, 199, 99, 1, 0, 0, 20, 20, chars, 76, 0, 0, 0, 199, 99, dxAt})
        put<qint32>(r.bytes, v);
    r.bytes += QByteArray(reinterpret_cast<const char*>(text.utf16()), 2 * chars);
    r.bytes += QByteArray(dxAt - 76 - 2 * chars, '\0');
    for (qint32 i = 0; i < chars; ++i)
        put<qint32>(r.bytes, 40);
    ++r.count;
    r.add(EMR_EOF, {0, 16, 20});
    return emfOf(r, QRect(0, 0, 200, 100), QRect(0, 0, 5292, 2646), 2);
}

QByteArray emfWithBadEmfPlus(QSize size) { return emfFile(size, true); }

QByteArray emfPlusRecord(quint16 type, quint16 flags, const QList<qint32>& data)
{
    QByteArray bytes;
    for (qint32 v : data)
        put<qint32>(bytes, v);
    return emfPlus(type, flags, bytes);
}

QByteArray emfPlusOnly(const QByteArray& records, QSize size)
{
    EmfRecords r;
    r.addEmfPlus(emfPlus(0x4001, 0x0000, words({0xDBC01002, 1, 96, 96})) + records + emfPlus(0x4002, 0));
    r.add(EMR_EOF, {0, 16, 20});
    const QRect frame(0, 0, int(std::lround(size.width() * 2540.0 / 96)), int(std::lround(size.height() * 2540.0 / 96)));
    return emfOf(r, QRect(QPoint(0, 0), size), frame, 1);
}

QByteArray emfPlusPage(QSize size)
{
    const Layout page(size);
    const auto f = [](double v) { return std::bit_cast<qint32>(float(v)); };
    const auto xy = [](int x, int y) { return qint32((x & 0xFFFF) | (y << 16)); };
    constexpr qint32 version = qint32(0xDBC01002);
    const QRect box = page.rectangle(), oval = page.ellipse();
    QByteArray r;
    r += emfPlusRecord(0x4030, 0x0002, {f(1)});                                            // page in pixels
    r += emfPlusRecord(0x4008, 0x0100, {version, 0, qint32(0xFFFF0000)});                  // brush 0: red
    r += emfPlusRecord(0x4008, 0x0201, {version, 0, 0, 0, f(1), version, 0, qint32(0xFF000000)}); // pen 1: black
    r += emfPlusRecord(0x4008, 0x0202, {version, 0, 0x28, 0, f(3), 2, 0, version, 0, qint32(0xFF00A000)}); // pen 2: green, round join
    r += emfPlusRecord(0x4025, 0, {1});                                                    // save
    r += emfPlusRecord(0x4032, 0x0100, {f(0), f(0), f(size.width() / 2.0), f(size.height())}); // clip to the left half
    r += emfPlusRecord(0x402D, 0, {f(box.left()), f(box.top())});                          // translate to the box
    r += emfPlusRecord(0x400A, 0x4000, {0, 1, xy(0, 0), xy(box.width(), box.height())});   // fill rects, 16-bit
    r += emfPlusRecord(0x400B, 0x4001, {1, xy(0, 0), xy(box.width(), box.height())});      // draw rects, 16-bit
    r += emfPlusRecord(0x4026, 0, {1});                                                    // restore
    r += emfPlusRecord(0x400E, 0x8000, {qint32(0xFF0000FF), f(oval.left()), f(oval.top()), f(oval.width()), f(oval.height())});
    r += emfPlusRecord(0x400F, 0x0001, {f(oval.left()), f(oval.top()), f(oval.width()), f(oval.height())});
    QList<qint32> zigzag{version, 5, 0};
    for (const QPoint& p : page.zigzag())
        zigzag << f(p.x()) << f(p.y());
    zigzag << 0x01010100 << 0x01;                                                          // start, then lines
    r += emfPlusRecord(0x4008, 0x0303, zigzag);                                            // path 3
    r += emfPlusRecord(0x4015, 0x0003, {2});                                               // draw path
    // image 6: 8 x 2 pixels of one bit, both colours of its palette red, inside the rectangle
    r += emfPlusRecord(0x4008, 0x0506, {version, 1, 8, 2, 4, 0x30101, 0, 0, 2, qint32(0xFFFF0000), qint32(0xFFFF0000),
                                        0x5A, 0xA5});
    r += emfPlusRecord(0x401B, 0x0006, {0, 2, 0, 0, f(8), f(2), 3, f(box.left() + 4), f(box.top() + 4),
                                        f(box.left() + 20), f(box.top() + 4), f(box.left() + 4), f(box.top() + 8)});
    const QString face = QStringLiteral("Sans");
    QList<qint32> font{version, f(size.height() / 20.0), 2, 1, 0, qint32(face.size())};
    for (qsizetype i = 0; i < face.size(); i += 2)
        font << qint32(face.at(i).unicode() | (i + 1 < face.size() ? face.at(i + 1).unicode() << 16 : 0));
    r += emfPlusRecord(0x4008, 0x0604, font);                                              // font 4, bold
    r += emfPlusRecord(0x4008, 0x0705, {version, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0});  // string format 5: centred
    r += emfPlusRecord(0x401C, 0x8004, {qint32(0xFF000000), 5, 3, f(0), f(page.y(13)), f(size.width()), f(page.y(2)),
                                        'E' | 'M' << 16, 'F' | 0});
    return emfPlusOnly(r, size);
}

}
