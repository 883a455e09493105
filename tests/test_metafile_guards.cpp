// The checks and geometry that keep the metafile helper's drawing bounded.
#include "metafile/dib_check.h"
#include "metafile/stroke_geometry.h"

#include <QTest>
#include <QtEndian>

namespace {

// A BITMAPINFOHEADER DIB: header, colour table, then pixels.
QByteArray dib(qint32 width, qint32 height, quint16 bits, quint32 compression, qsizetype pixelBytes,
               quint32 headerSize = 40)
{
    QByteArray out(int(headerSize), '\0');
    qToLittleEndian<quint32>(headerSize, out.data());
    qToLittleEndian<qint32>(width, out.data() + 4);
    qToLittleEndian<qint32>(height, out.data() + 8);
    qToLittleEndian<quint16>(1, out.data() + 12);
    qToLittleEndian<quint16>(bits, out.data() + 14);
    qToLittleEndian<quint32>(compression, out.data() + 16);
    if (bits <= 8)
        out += QByteArray(4 << bits, '\x40');
    return out + QByteArray(pixelBytes, '\x7f');
}

}

class MetafileGuardsTest : public QObject {
    Q_OBJECT
private slots:
    void bitmapsAreReadOnlyWhenTheirHeaderHolds_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        // Rows of 3 x 24 bits take 12 bytes with their padding.
        QTest::newRow("24-bit, rows padded") << dib(3, 2, 24, 0, 24) << true;
        QTest::newRow("24-bit, last row cut") << dib(3, 2, 24, 0, 23) << false;
        QTest::newRow("stored top down") << dib(3, -2, 24, 0, 24) << true;
        QTest::newRow("8-bit with its table") << dib(4, 4, 8, 0, 16) << true;
        QTest::newRow("run-length, small") << dib(16, 16, 8, 1, 4) << true;
        QTest::newRow("run-length claiming 65535 x 65535") << dib(65535, 65535, 8, 1, 4) << false;
        QTest::newRow("run-length of the wrong depth") << dib(16, 16, 24, 1, 4) << false;
        QTest::newRow("no width") << dib(0, 2, 24, 0, 24) << false;
        QTest::newRow("header size 0") << QByteArray(4, '\0') + dib(3, 2, 24, 0, 24).mid(4) << false;
        QTest::newRow("header size past the data") << dib(3, 2, 24, 0, 0, 124).left(100) << false;
        // A 12-byte header: 2 x 2 pixels, one plane, 1 bit.
        const QByteArray os2 = QByteArray::fromHex("0c000000" "0200" "0200" "0100" "0100");
        QTest::newRow("OS/2 header, 1-bit") << os2 + QByteArray(6 + 8, '\0') << true;
        QTest::newRow("OS/2 header, table cut") << os2 + QByteArray(4, '\0') << false;
        QTest::newRow("nothing") << QByteArray() << false;
    }

    void bitmapsAreReadOnlyWhenTheirHeaderHolds()
    {
        QFETCH(QByteArray, bytes);
        QTEST(Metafile::dibIsReadable(reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size()), "readable");
    }

    void linesAndShapesAreCutToThePage()
    {
        const QRectF page(0, 0, 100, 50);
        // Across, on the diagonal, above the page, a point inside.
        const struct { QLineF line; bool kept; QLineF cut; } lines[] = {
            {{-1e9, 25, 1e9, 25}, true, {0, 25, 100, 25}}, {{-50, -25, 150, 75}, true, {0, 0, 100, 50}},
            {{-10, -5, 200, -5}, false, {}}, {{10, 10, 10, 10}, true, {10, 10, 10, 10}}};
        for (auto [line, kept, cut] : lines) {
            QCOMPARE(Metafile::clipLine(line, page), kept);
            if (kept)
                QCOMPARE(line, cut);
        }

        // A triangle millions of pixels across leaves the page whole.
        const QPolygonF huge{QPointF(-1e7, -1e7), QPointF(1e7, -1e7), QPointF(0, 1e7)};
        QCOMPARE(Metafile::clipPolygon(huge, page).boundingRect(), page);
        QPainterPath hugeFill;
        hugeFill.addPolygon(huge);
        QCOMPARE(Metafile::fillWithin(hugeFill, page).controlPointRect(), page);
        // A concave shape keeps its notch.
        const QPolygonF notched{QPointF(-10, -10), QPointF(110, -10), QPointF(110, 60), QPointF(50, 20), QPointF(-10, 60)};
        const QPolygonF cut = Metafile::clipPolygon(notched, page);
        QVERIFY(cut.containsPoint(QPointF(10, 45), Qt::OddEvenFill));
        QVERIFY(!cut.containsPoint(QPointF(50, 45), Qt::OddEvenFill));
        QVERIFY(Metafile::clipPolygon({QPointF(200, 0), QPointF(300, 0), QPointF(250, 40)}, page).isEmpty());

        // A circle ten million pixels across, its rim through the page: few
        // segments, its curve kept where it crosses, its inside still inside.
        QPainterPath circle;
        circle.addEllipse(QPointF(50, 1e7 + 25), 1e7, 1e7);
        const QPainterPath near = Metafile::curvesNear(circle, page);
        QVERIFY(near.toFillPolygon().size() < 2000);
        QVERIFY(near.contains(QPointF(50, 26)) && !near.contains(QPointF(50, 24)));
        QVERIFY(near.contains(QPointF(0, 30)) && !near.contains(QPointF(100, 20)));
        // Lines a million pixels long keep only their stretch on the page.
        QPainterPath far;
        far.moveTo(-1e6, 10);
        far.lineTo(1e6, 10);
        far.lineTo(1e6, 1e6);
        QCOMPARE(Metafile::linesWithin(far, page).controlPointRect(), QRectF(0, 10, 100, 0));
    }

    void aWideNibCoversWhatItSweeps()
    {
        const QRectF page(0, 0, 1000, 1000);
        // Across: the nib's square stretched from one end to the other.
        const QPolygonF flat = Metafile::nibSweep({100, 500}, {300, 500}, {40, 20}, page);
        QCOMPARE(flat.boundingRect(), QRectF(QPointF(80, 490), QPointF(320, 510)));
        // On the slant: six corners; the square's far corners are covered, the
        // sides of the slant between them are not.
        const QPolygonF slant = Metafile::nibSweep({100, 100}, {300, 300}, {40, 40}, page);
        QCOMPARE(slant.size(), 6);
        for (auto [point, covered] : {std::pair{QPointF(81, 81), true}, {{319, 319}, true}, {{135, 100}, true}, {{200, 100}, false}})
            QCOMPARE(slant.containsPoint(point, Qt::OddEvenFill), covered);
        // A nib far wider than the page covers it, and no more.
        QCOMPARE(Metafile::nibSweep({500, -10}, {500, 1010}, {1e9, 1e9}, page).boundingRect(), page);
        QVERIFY(Metafile::nibSweep({-500, -500}, {-400, -100}, {40, 40}, page).isEmpty());
    }
};

QTEST_GUILESS_MAIN(MetafileGuardsTest)
#include "test_metafile_guards.moc"
