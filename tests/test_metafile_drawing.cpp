// What the metafile helper's drawing code makes of files from other writers:
// where the picture lies on its page, and what its text and pens look like.
#include "metafile/metafile_render.h"
#include "samples/metafile_writer.h"

#include <QTest>

namespace {
struct Probe { QPoint at; QColor colour; };

QImage drawn(const QByteArray& bytes, QSize* natural = nullptr)
{
    QSize size;
    QString why;
    const QImage image = Metafile::isEmf(bytes) ? Metafile::renderEmf(bytes, Metafile::maxDrawnPixels, &size, &why)
                                                : Metafile::renderWmf(bytes, Metafile::maxDrawnPixels, &size, &why);
    if (natural)
        *natural = size;
    return image;
}
}

class MetafileDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void drawnWhereTheirRecordsPutThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<Probe>>("probes");
        // The block's corners a few pixels in and out; the page's corner.
        QTest::newRow("emf frame wider than its bounds") << MetafileWriter::emfWithMargin()
            << QList<Probe>{{{5, 5}, Qt::white}, {{105, 80}, Qt::black}, {{95, 70}, Qt::white},
                            {{295, 220}, Qt::black}, {{305, 230}, Qt::white}};
        QTest::newRow("emf rectangle before any brush") << MetafileWriter::emfWithMargin(false)
            << QList<Probe>{{{200, 150}, Qt::white}, {{5, 5}, Qt::white}};
        // The sample WMF's window spans its 400 x 300 pixels in twips.
        const QList<Probe> sample{{{100, 80}, Qt::red}, {{300, 80}, Qt::blue}, {{5, 5}, Qt::white}};
        QTest::newRow("wmf box away from its window")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {2000, 2000, 6000, 4500}, 1440) << sample;
        QTest::newRow("wmf box in pixels, window in twips")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {0, 0, 400, 300}, 96) << sample;
        // A 20-pixel pen: the zigzag's first stroke, at 45 degrees through
        // (60,220), covers 20 pixels above and below.
        const QColor green(0, 0xa0, 0);
        QTest::newRow("wmf pen width in twips") << MetafileWriter::wmf(MetafileWriter::drawingSize, 1440, 20)
            << QList<Probe>{{{60, 203}, green}, {{60, 237}, green}, {{60, 195}, Qt::white}, {{60, 245}, Qt::white}};
    }
    void drawnWhereTheirRecordsPutThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<Probe>, probes);
        QSize natural;
        const QImage image = drawn(bytes, &natural);
        QCOMPARE(natural, QSize(400, 300));
        QCOMPARE(image.size(), natural);
        for (const Probe& probe : probes)
            QVERIFY2(image.pixelColor(probe.at) == probe.colour, qPrintable(image.pixelColor(probe.at).name()));
    }

    // Symbol fonts' codes are drawn as the characters they stand for (also
    // when moved to U+F020-U+F0FF), from a font that has them.
    void symbolFontsDrawTheirCharacters()
    {
        const struct { const char* face; QString coded, unicode; } texts[] = {
            {"Symbol", QString::fromUtf16(u"\uF0B0\uF0A2\uF0B3\uF0D0"), "°′≥∠"},
            {"Symbol", "a\u00E6\u00E8", "α⎛⎝"},
            {"Wingdings", QString::fromUtf16(u"\uF0FC\uF06E"), "✔■"}};
        for (const auto& [face, coded, unicode] : texts) {
            const QImage expected = drawn(MetafileWriter::emfText("serif", unicode));
            QVERIFY(expected != drawn(MetafileWriter::emfText("serif", {})));
            QCOMPARE(drawn(MetafileWriter::emfText(face, coded)), expected);
        }
    }
};

QTEST_MAIN(MetafileDrawingTest)
#include "test_metafile_drawing.moc"
