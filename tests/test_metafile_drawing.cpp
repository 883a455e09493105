// What the metafile helper's drawing code makes of files from other writers:
// where the picture lies on its page, and what its text and pens look like.
#include "metafile/metafile_render.h"
#include "samples/metafile_writer.h"

#include <QTest>
#include <QtEndian>

#include <bit>

namespace {
struct Probe { QPoint at; QColor colour; };

// EMF records after a header whose frame is 400 x 300 pixels at 96 DPI on a
// 96 DPI reference device, so that device units are the picture's pixels.
class Emf {
public:
    Emf& add(quint32 type, QList<qint32> words)
    {
        records += type;
        lastSize = records.size();
        records += quint32(8 + 4 * words.size());
        for (const qint32 word : words)
            records += quint32(word);
        ++count;
        return *this;
    }
    // The records without their end; damaged: the last one claims more
    // bytes than there are.
    QByteArray bytes(bool damaged = false) const
    {
        QList<quint32> words{1, 108, 0, 0, 399, 299, 0, 0, 10582, 7937, 0x464D4520, 0x10000, 0, 0, 8, 0, 0, 0,
                             960, 960, 254, 254, 0, 0, 0, 0, 0};
        const qsizetype headerWords = words.size();
        words += records;
        if (damaged)
            words[headerWords + lastSize] = 1000;
        else
            words += {14, 20, 0, 16, 20};
        words[12] = quint32(4 * words.size());
        words[13] = quint32(count + 2);
        QByteArray out(4 * words.size(), '\0');
        for (qsizetype i = 0; i < words.size(); ++i)
            qToLittleEndian(words[i], out.data() + 4 * i);
        return out;
    }

private:
    QList<quint32> records;
    qsizetype lastSize = 0;
    int count = 0;
};

qint32 f(float value) { return std::bit_cast<qint32>(value); }
constexpr qint32 red = 0x0000ff, green = 0x00a000, blue = 0xff0000;
enum : quint32 { windowExt = 9, viewportExt = 11, mapMode = 17, textAlign = 22, excludeClip = 29, intersectClip = 30,
                 saveDc = 33, restoreDc = 34, setWorld = 35, modifyWorld = 36, selectObject = 37, pen = 38, brush = 39,
                 rectangle = 43, moveTo = 27, lineTo = 54, font = 82, textW = 84 };

// Selects a solid brush of colour as object 1.
Emf& withBrush(Emf& emf, qint32 colour) { return emf.add(brush, {1, 0, colour, 0}).add(selectObject, {1}); }

// EMF+ records: 16-bit points, ARGB colours and a pen of width 6 as object 1.
using MetafileWriter::emfPlusRecord;
qint32 xy(int x, int y) { return (x & 0xFFFF) | (y << 16); }
constexpr qint32 argbRed = qint32(0xFFFF0000), argbBlue = qint32(0xFF0000FF), argbGreen = qint32(0xFF00A000),
                 version = qint32(0xDBC01002);
const QByteArray greenPen = emfPlusRecord(0x4008, 0x0201, {version, 0, 0, 0, f(6), version, 0, argbGreen});

// "W" from (x,y) in a 40-unit Liberation Sans, turned by escapement.
Emf textRun(quint32 align, int escapement, bool yUp)
{
    Emf emf;
    if (yUp)
        emf.add(mapMode, {8}).add(windowExt, {400, -300}).add(viewportExt, {400, 300});
    QList<qint32> logFont{2, -40, 0, escapement, escapement, 400, 0, 0};
    const QString face = QStringLiteral("Liberation Sans").leftJustified(32, QChar(0));
    for (qsizetype i = 0; i < 32; i += 2)
        logFont << qint32(face.at(i).unicode() | face.at(i + 1).unicode() << 16);
    logFont += QList<qint32>(46, 0); // the rest of ENUMLOGFONTEXDV
    emf.add(font, logFont).add(selectObject, {2}).add(textAlign, {qint32(align)});
    return emf.add(textW, {0, 0, 0, 0, 1, f(1), f(1), 200, yUp ? -150 : 150, 1, 76, 0, 0, 0, 0, 0, 0, 'W'});
}

// The smallest rectangle holding every pixel that is not white.
QRect ink(const QImage& image)
{
    QRect out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                out |= QRect(x, y, 1, 1);
    return out;
}

QImage drawn(const QByteArray& bytes, QSize* natural)
{
    QString why;
    return Metafile::render(bytes, Metafile::maxDrawnPixels, natural, &why);
}
}

class MetafileDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void drawnWhereTheirRecordsPutThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<Probe>>("probes");
        // The size a file declares, in whatever units, is the size it is drawn at.
        for (const QSize size : {QSize(373, 273), QSize(37, 23)}) {
            for (int inch : {1440, 96, 2540})
                QTest::addRow("wmf %dx%d, %d units an inch", size.width(), size.height(), inch)
                    << MetafileWriter::wmf(size, inch) << size << QList<Probe>{};
            QTest::addRow("emf %dx%d", size.width(), size.height()) << MetafileWriter::emf(size) << size << QList<Probe>{};
        }
        const QSize page = MetafileWriter::drawingSize;
        // The block's corners a few pixels in and out; the page's corner.
        QTest::newRow("emf frame wider than its bounds") << MetafileWriter::emfWithMargin() << page
            << QList<Probe>{{{5, 5}, Qt::white}, {{105, 80}, Qt::black}, {{95, 70}, Qt::white},
                            {{295, 220}, Qt::black}, {{305, 230}, Qt::white}};
        QTest::newRow("emf rectangle before any brush") << MetafileWriter::emfWithMargin(false) << page
            << QList<Probe>{{{200, 150}, Qt::white}, {{5, 5}, Qt::white}};
        // EMF+ comments are skipped, the EMF records drawn.
        QTest::newRow("emf with emf+ records") << MetafileWriter::emfWithBadEmfPlus() << page
            << QList<Probe>{{{100, 80}, Qt::red}, {{300, 80}, Qt::blue}, {{5, 5}, Qt::white}};
        // 50 units of a window of 1000 x 750 on 400 x 300 pixels: 20 pixels.
        Emf wide;
        wide.add(mapMode, {8}).add(windowExt, {1000, 750}).add(viewportExt, {400, 300});
        wide.add(pen, {1, 0, 50, 0, green}).add(selectObject, {1}).add(moveTo, {0, 375}).add(lineTo, {1000, 375});
        QTest::newRow("emf pen width in logical units") << wide.bytes() << page
            << QList<Probe>{{{200, 142}, green}, {{200, 158}, green}, {{200, 137}, Qt::white}, {{200, 163}, Qt::white}};
        // Scaled by 2 first, then moved by 200: the square covers 200-300.
        Emf turned;
        turned.add(setWorld, {f(1), 0, 0, f(1), f(200), 0}).add(modifyWorld, {f(2), 0, 0, f(2), 0, 0, 2});
        withBrush(turned, red).add(rectangle, {0, 0, 50, 50});
        QTest::newRow("emf world transform") << turned.bytes() << page
            << QList<Probe>{{{290, 90}, Qt::red}, {{190, 90}, Qt::white}, {{310, 90}, Qt::white}};
        // The left half, less a square; a narrower clip undone by RestoreDC.
        Emf clipped;
        clipped.add(intersectClip, {0, 0, 200, 300}).add(excludeClip, {50, 50, 100, 100});
        clipped.add(saveDc, {}).add(intersectClip, {0, 0, 10, 10}).add(restoreDc, {-1});
        withBrush(clipped, blue).add(rectangle, {0, 0, 400, 300});
        QTest::newRow("emf clipping") << clipped.bytes() << page
            << QList<Probe>{{{150, 150}, Qt::blue}, {{20, 20}, Qt::blue}, {{75, 75}, Qt::white}, {{300, 150}, Qt::white}};
        // A record running past the end: what came before it stays.
        Emf damaged;
        withBrush(damaged, red).add(rectangle, {0, 0, 100, 100}).add(rectangle, {200, 0, 300, 100});
        QTest::newRow("emf damaged after a rectangle") << damaged.bytes(true) << page
            << QList<Probe>{{{50, 50}, Qt::red}, {{250, 50}, Qt::white}};
        // EMF+: colours in the record or brush objects, 16-bit and float
        // forms, a pie clockwise from three o'clock, relative points.
        const QByteArray fills = emfPlusRecord(0x4008, 0x0100, {version, 0, argbBlue})
            + emfPlusRecord(0x400A, 0x8000, {argbRed, 1, f(20), f(20), f(80), f(80)})
            + emfPlusRecord(0x400E, 0x4000, {0, xy(200, 20), xy(100, 100)})
            + emfPlusRecord(0x4010, 0x8000, {argbGreen, f(0), f(90), f(20), f(150), f(100), f(100)})
            + emfPlusRecord(0x400C, 0x8800, {argbRed, 3, qint32(0x9680FA80), 0x324E0032}); // (250,150) +(50,0) +(-50,50)
        QTest::newRow("emf+ fills") << MetafileWriter::emfPlusOnly(fills) << page << QList<Probe>{
            {{60, 60}, Qt::red}, {{110, 60}, Qt::white}, {{250, 70}, Qt::blue}, {{203, 23}, Qt::white},
            {{95, 225}, green}, {{45, 175}, Qt::white}, {{95, 175}, Qt::white}, {{260, 160}, Qt::red}, {{290, 190}, Qt::white}};
        const QByteArray outlines = greenPen + emfPlusRecord(0x400B, 0x4001, {1, xy(20, 20), xy(80, 80)})
            + emfPlusRecord(0x400F, 0x0001, {f(200), f(20), f(100), f(100)})
            + emfPlusRecord(0x4012, 0x0001, {f(0), f(90), f(20), f(150), f(100), f(100)})
            + emfPlusRecord(0x400D, 0x2001, {3, f(200), f(150), f(300), f(150), f(300), f(250)})
            + emfPlusRecord(0x4019, 0x0001, {4, f(320), f(20), f(320), f(20), f(380), f(100), f(380), f(100)})
            + emfPlusRecord(0x4018, 0x0001, {f(0.5), 0, 2, 3, f(320), f(150), f(350), f(200), f(380), f(250)});
        QTest::newRow("emf+ outlines") << MetafileWriter::emfPlusOnly(outlines) << page << QList<Probe>{
            {{20, 60}, green}, {{60, 60}, Qt::white}, {{200, 70}, green}, {{250, 70}, Qt::white}, {{105, 235}, green},
            {{35, 165}, Qt::white}, {{250, 200}, green}, {{280, 170}, Qt::white}, {{350, 60}, green}, {{335, 175}, green}};
        // A square path filled and outlined; clipped to the left half, a
        // narrower clip undone by Restore, the square cut out again.
        const QByteArray square = emfPlusRecord(0x4008, 0x0302, {version, 4, 0x4000, xy(20, 20), xy(100, 20),
                                                                 xy(100, 100), xy(20, 100), qint32(0x81010100)});
        QTest::newRow("emf+ path") << MetafileWriter::emfPlusOnly(square + greenPen + emfPlusRecord(0x4014, 0x8002, {argbBlue})
                                                                  + emfPlusRecord(0x4015, 0x0002, {1}))
                                   << page << QList<Probe>{{{60, 60}, Qt::blue}, {{100, 60}, green}, {{110, 60}, Qt::white}};
        const QByteArray clips = square + emfPlusRecord(0x4032, 0x0100, {0, 0, f(200), f(300)})
            + emfPlusRecord(0x4025, 0, {7}) + emfPlusRecord(0x4032, 0, {0, 0, f(10), f(10)}) + emfPlusRecord(0x4026, 0, {7})
            + emfPlusRecord(0x400A, 0x8000, {argbRed, 1, 0, 0, f(400), f(300)}) + emfPlusRecord(0x4031, 0)
            + emfPlusRecord(0x4033, 0x0402) + emfPlusRecord(0x400A, 0x8000, {argbBlue, 1, 0, 0, f(400), f(300)});
        QTest::newRow("emf+ clipping") << MetafileWriter::emfPlusOnly(clips) << page
            << QList<Probe>{{{60, 60}, Qt::red}, {{150, 150}, Qt::blue}, {{300, 150}, Qt::blue}, {{5, 5}, Qt::blue}};
        // Millimetres of 3.78 pixels; the world moved by 10 mm, then by 40 mm
        // and doubled, restored, then turned; last doubled with a move after it.
        const QByteArray square10 = emfPlusRecord(0x400A, 0x8000, {argbRed, 1, 0, 0, f(10), f(10)});
        const QByteArray turns = emfPlusRecord(0x4030, 0x0006, {f(1)})
            + emfPlusRecord(0x402A, 0, {f(1), 0, 0, f(1), f(10), f(10)}) + square10 + emfPlusRecord(0x4025, 0, {1})
            + emfPlusRecord(0x402D, 0, {f(40), 0}) + emfPlusRecord(0x402E, 0, {f(2), f(2)})
            + emfPlusRecord(0x400A, 0x8000, {argbBlue, 1, 0, 0, f(10), f(10)}) + emfPlusRecord(0x4026, 0, {1})
            + emfPlusRecord(0x402F, 0, {f(90)}) + emfPlusRecord(0x400A, 0x8000, {argbGreen, 1, 0, 0, f(10), f(10)})
            + emfPlusRecord(0x402A, 0, {f(2), 0, 0, f(2), 0, 0}) + emfPlusRecord(0x402C, 0x2000, {f(1), 0, 0, f(1), 0, f(50)})
            + square10;
        QTest::newRow("emf+ transforms") << MetafileWriter::emfPlusOnly(turns) << page << QList<Probe>{
            {{56, 56}, Qt::red}, {{30, 30}, Qt::white}, {{80, 80}, Qt::white}, {{226, 75}, Qt::blue}, {{180, 75}, Qt::white},
            {{270, 75}, Qt::white}, {{19, 56}, green}, {{50, 230}, Qt::red}};
        // Full blocks of a 60-pixel font: from the layout's corner, and
        // centred on the middle of the page's right half.
        const QByteArray text = emfPlusRecord(0x4008, 0x0603, {version, f(60), 2, 0, 0, 4, 'S' | 'a' << 16, 'n' | 's' << 16})
            + emfPlusRecord(0x4008, 0x0704, {version, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0})
            + emfPlusRecord(0x401C, 0x8003, {argbBlue, 9, 2, f(20), f(20), 0, 0, 0x25882588})
            + emfPlusRecord(0x401C, 0x8003, {argbBlue, 4, 1, f(200), 0, f(200), f(300), 0x2588});
        QTest::newRow("emf+ text") << MetafileWriter::emfPlusOnly(text) << page << QList<Probe>{
            {{40, 50}, Qt::blue}, {{10, 50}, Qt::white}, {{40, 10}, Qt::white}, {{300, 150}, Qt::blue}, {{250, 150}, Qt::white}};
        // A bitmap of 2 x 2 pixels (blue, three red) onto a rectangle and
        // onto a parallelogram of three corners, doubled across.
        const QByteArray pictures = emfPlusRecord(0x4008, 0x0500, {version, 1, 2, 2, 8, 0x26200A, 0, argbBlue, argbRed, argbRed, argbRed})
            + emfPlusRecord(0x401A, 0x0000, {0, 2, 0, 0, f(2), f(2), f(100), f(100), f(100), f(100)})
            + emfPlusRecord(0x401B, 0x4000, {0, 2, 0, 0, f(2), f(2), 3, xy(200, 100), xy(300, 200), xy(200, 200)});
        QTest::newRow("emf+ images") << MetafileWriter::emfPlusOnly(pictures) << page << QList<Probe>{
            {{105, 105}, Qt::blue}, {{195, 195}, Qt::red}, {{95, 150}, Qt::white}, {{205, 110}, Qt::blue},
            {{290, 195}, Qt::red}, {{295, 110}, Qt::white}};
        QTest::newRow("wmf damaged after a rectangle") << MetafileWriter::wmfPage(
            {{0x02FC, {0, red, 0, 0}}, {0x012D, {0}}, {0x041B, {100, 100, 0, 0}}, {0x041B, {100, 300, 0, 200}}}, true) << page
            << QList<Probe>{{{50, 50}, Qt::red}, {{250, 50}, Qt::white}};
        // Object slots are reused lowest first: the region takes the deleted
        // brush's slot 0, the blue brush slot 1. The region's one scan, rows
        // 20-60, holds x 20-100 and 200-300.
        QTest::newRow("wmf clipped to a region") << MetafileWriter::wmfPage({{0x02FC, {0, red, 0, 0}}, {0x01F0, {0}},
            {0x06FF, {0, 6, 0, 0, 34, 1, 4, 20, 20, 300, 60, 4, 20, 60, 20, 100, 200, 300, 4}},
            {0x02FC, {0, 0, 0xff, 0}}, {0x012D, {1}}, {0x012C, {0}}, {0x041B, {300, 400, 0, 0}}}) << page
            << QList<Probe>{{{60, 40}, Qt::blue}, {{250, 40}, Qt::blue}, {{150, 40}, Qt::white}, {{60, 100}, Qt::white}};
        // The sample WMF's window spans its 400 x 300 pixels in twips.
        const QList<Probe> sample{{{100, 80}, Qt::red}, {{300, 80}, Qt::blue}, {{5, 5}, Qt::white}};
        QTest::newRow("wmf box away from its window")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {2000, 2000, 6000, 4500}, 1440) << page << sample;
        QTest::newRow("wmf box in pixels, window in twips")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {0, 0, 400, 300}, 96) << page << sample;
        // A 20-pixel pen: the zigzag's first stroke, at 45 degrees through
        // (60,220), covers 10 pixels on either side, 14 above and below.
        const QColor green(0, 0xa0, 0);
        QTest::newRow("wmf pen width in twips") << MetafileWriter::wmf(page, 1440, 20) << page
            << QList<Probe>{{{60, 208}, green}, {{60, 232}, green}, {{60, 202}, Qt::white}, {{60, 238}, Qt::white}};
    }
    void drawnWhereTheirRecordsPutThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QList<Probe>, probes);
        QSize natural;
        const QImage image = drawn(bytes, &natural);
        QCOMPARE(natural, size);
        QCOMPARE(image.size(), size);
        for (const Probe& probe : probes)
            QVERIFY2(image.pixelColor(probe.at) == probe.colour, qPrintable(image.pixelColor(probe.at).name()));
    }

    // Text lies on the side of its reference point (200,150) that the
    // alignment says, and turns with the escapement: counter-clockwise, the
    // other way where the mapping turns y upwards.
    void textPlacedByAlignmentAndEscapement()
    {
        constexpr quint32 right = 2, centre = 6, bottom = 8, baseline = 24;
        QSize natural;
        const QRect leftTop = ink(drawn(textRun(0, 0, false).bytes(), &natural));
        QVERIFY(leftTop.left() >= 199 && leftTop.top() >= 150 && leftTop.top() < 165);
        const QRect rightBottom = ink(drawn(textRun(right | bottom, 0, false).bytes(), &natural));
        QVERIFY(rightBottom.right() <= 201 && rightBottom.right() > 180 && rightBottom.bottom() <= 151);
        const QRect centred = ink(drawn(textRun(centre | baseline, 0, false).bytes(), &natural));
        QVERIFY(centred.left() < 190 && centred.right() > 210 && centred.bottom() <= 151);
        const QRect up = ink(drawn(textRun(baseline, 900, false).bytes(), &natural));
        QVERIFY(up.bottom() <= 151 && up.top() < 130 && up.right() <= 201 && up.left() > 150);
        const QRect down = ink(drawn(textRun(baseline, 900, true).bytes(), &natural));
        QVERIFY(down.top() >= 149 && down.bottom() > 170 && down.left() >= 199);
        const QRect wmfUp = ink(drawn(MetafileWriter::wmfText("Liberation Sans", 0, "W", baseline, 900), &natural));
        QVERIFY(wmfUp.bottom() <= 151 && wmfUp.top() < 130 && wmfUp.right() <= 201 && wmfUp.left() > 150);
    }

    // Symbol fonts' codes are drawn as the characters they stand for (also
    // when moved to U+F020-U+F0FF), from a font that has them.
    void symbolFontsDrawTheirCharacters()
    {
        const struct { const char* face; QString coded, unicode; } texts[] = {
            {"Symbol", QString::fromUtf16(u"\uF0B3\uF0D0a\u00E6"), "≥∠α⎛"},
            {"Wingdings", QString::fromUtf16(u"\uF0FC\uF06E"), "✔■"}};
        for (const auto& [face, coded, unicode] : texts) {
            QSize natural;
            const QImage expected = drawn(MetafileWriter::emfText("serif", unicode), &natural);
            QVERIFY(expected != drawn(MetafileWriter::emfText("serif", {}), &natural));
            QCOMPARE(drawn(MetafileWriter::emfText(face, coded), &natural), expected);
        }
        // 8-bit text: Symbol's "a" is alpha, as 0xE1 is in a Greek font.
        QSize natural;
        const QImage alpha = drawn(MetafileWriter::wmfText("Symbol", 2, "a", 0, 0), &natural);
        QCOMPARE(alpha, drawn(MetafileWriter::wmfText("serif", 161, "\xE1", 0, 0), &natural));
        QVERIFY(alpha != drawn(MetafileWriter::wmfText("serif", 0, "a", 0, 0), &natural));
    }
};

QTEST_MAIN(MetafileDrawingTest)
#include "test_metafile_drawing.moc"
