// What the metafile helper's drawing code makes of files from other writers:
// where the picture lies on its page, and what its text and pens look like.
#include "metafile/metafile_render.h"
#include "samples/metafile_writer.h"

#include <QTest>

namespace {
struct Probe { QPoint at; QColor colour; };

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
        // The sample WMF's window spans its 400 x 300 pixels in twips.
        const QList<Probe> sample{{{100, 80}, Qt::red}, {{300, 80}, Qt::blue}, {{5, 5}, Qt::white}};
        QTest::newRow("wmf box away from its window")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {2000, 2000, 6000, 4500}, 1440) << page << sample;
        QTest::newRow("wmf box in pixels, window in twips")
            << MetafileWriter::withPlaceableBox(MetafileWriter::wmf(), {0, 0, 400, 300}, 96) << page << sample;
        // A 20-pixel pen: the zigzag's first stroke, at 45 degrees through
        // (60,220), covers 20 pixels above and below.
        const QColor green(0, 0xa0, 0);
        QTest::newRow("wmf pen width in twips") << MetafileWriter::wmf(page, 1440, 20) << page
            << QList<Probe>{{{60, 203}, green}, {{60, 237}, green}, {{60, 195}, Qt::white}, {{60, 245}, Qt::white}};
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
    }
};

QTEST_MAIN(MetafileDrawingTest)
#include "test_metafile_drawing.moc"
