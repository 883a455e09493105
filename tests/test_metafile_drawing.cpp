// What the metafile helper's drawing code makes of files from other writers:
// where the picture lies on its page, and what its text and pens look like.
#include "metafile/metafile_render.h"
#include "samples/metafile_writer.h"

#include <QTest>
#include <QtEndian>

#include <utility>

namespace {
struct Probe { QPoint at; QColor colour; };

// The sample drawing's WMF with another placeable box: left, top, right,
// bottom and units an inch.
QByteArray withBox(QByteArray wmf, std::initializer_list<qint16> box)
{
    qsizetype at = 6;
    for (qint16 v : box)
        qToLittleEndian<qint16>(v, wmf.data() + std::exchange(at, at + 2));
    return wmf;
}

QImage drawn(const QByteArray& bytes, qint64 limit, QSize* natural, QString* why)
{
    return Metafile::isEmf(bytes) ? Metafile::renderEmf(bytes, limit, natural, why)
                                  : Metafile::renderWmf(bytes, limit, natural, why);
}
}

using namespace Qt::StringLiterals;

class MetafileDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void drawnWhereTheirRecordsPutThem_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<Probe>>("probes");
        // The block's corners a few pixels in and out; the page's corner.
        QTest::newRow("emf frame wider than its bounds") << MetafileWriter::emfWithMargin() << QSize(400, 300)
            << QList<Probe>{{{5, 5}, Qt::white}, {{105, 80}, Qt::black}, {{95, 70}, Qt::white},
                            {{295, 220}, Qt::black}, {{305, 230}, Qt::white}};
        QTest::newRow("emf rectangle before any brush") << MetafileWriter::emfWithMargin(false) << QSize(400, 300)
            << QList<Probe>{{{200, 150}, Qt::white}, {{5, 5}, Qt::white}};
        // The window of the sample WMF spans its 400 x 300 pixels in twips.
        const QList<Probe> sample{{{100, 80}, Qt::red}, {{300, 80}, Qt::blue}, {{5, 5}, Qt::white}};
        QTest::newRow("wmf box away from its window") << withBox(MetafileWriter::wmf(), {2000, 2000, 8000, 6500, 1440})
                                                      << QSize(400, 300) << sample;
        QTest::newRow("wmf box in pixels, window in twips") << withBox(MetafileWriter::wmf(), {0, 0, 400, 300, 96})
                                                            << QSize(400, 300) << sample;
        // The zigzag's pen made 300 twips (20 pixels) wide: its first stroke, at
        // 45 degrees through (60,220), covers 20 pixels above and below.
        QByteArray widePen = MetafileWriter::wmf();
        const qsizetype pen = widePen.lastIndexOf("\x08\0\0\0\xFA\x02"_ba);
        qToLittleEndian<qint16>(300, widePen.data() + pen + 8);
        const QColor green(0, 0xa0, 0);
        QTest::newRow("wmf pen width in twips") << widePen << QSize(400, 300)
            << QList<Probe>{{{60, 203}, green}, {{60, 237}, green}, {{60, 195}, Qt::white}, {{60, 245}, Qt::white}};
    }
    void drawnWhereTheirRecordsPutThem()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QList<Probe>, probes);
        QSize natural;
        QString why;
        const QImage image = drawn(bytes, Metafile::maxDrawnPixels, &natural, &why);
        QVERIFY2(!image.isNull(), qPrintable(why));
        QCOMPARE(natural, size);
        QCOMPARE(image.size(), size);
        for (const Probe& probe : probes)
            QVERIFY2(image.pixelColor(probe.at) == probe.colour,
                     qPrintable(QStringLiteral("at %1,%2: %3").arg(probe.at.x()).arg(probe.at.y()).arg(image.pixelColor(probe.at).name())));
    }

    // Symbol fonts' codes are drawn as the characters they stand for, from
    // a font that has them.
    void symbolFontsDrawTheirCharacters_data()
    {
        QTest::addColumn<QString>("face");
        QTest::addColumn<QString>("coded");
        QTest::addColumn<QString>("unicode");
        QTest::newRow("Symbol, moved codes") << "Symbol" << QString::fromUtf16(u"\uF0B0\uF0A2\uF0B3\uF0D0") << "°′≥∠";
        QTest::newRow("Symbol, own codes") << "Symbol" << "a\u00E6\u00E8" << "α⎛⎝";
        QTest::newRow("Wingdings") << "Wingdings" << QString::fromUtf16(u"\uF0FC\uF06E") << "✔■";
    }
    void symbolFontsDrawTheirCharacters()
    {
        QFETCH(QString, face);
        QFETCH(QString, coded);
        QFETCH(QString, unicode);
        QSize natural;
        QString why;
        const QImage expected = drawn(MetafileWriter::emfText("serif", unicode), Metafile::maxDrawnPixels, &natural, &why);
        QImage page(expected.size(), expected.format());
        page.fill(Qt::white);
        QVERIFY(!expected.isNull() && expected != page);
        QCOMPARE(drawn(MetafileWriter::emfText(face, coded), Metafile::maxDrawnPixels, &natural, &why), expected);
    }

    // A frame past the pixel bound is drawn as any large one: smaller, whole.
    void framesOfAnySizeAreDrawnSmaller()
    {
        constexpr qint64 limit = 40'000;
        for (const auto& [bytes, natural] : {std::pair{MetafileWriter::emf({12000, 12000}), QSize(12000, 12000)},
                                             std::pair{MetafileWriter::wmf({30000, 6000}, 96), QSize(30000, 6000)}}) {
            QVERIFY(natural.width() * qint64(natural.height()) > Metafile::maxPixels);
            QCOMPARE(Metafile::headerSize(bytes), natural);
            QSize drawnNatural;
            QString why;
            const QImage image = drawn(bytes, limit, &drawnNatural, &why);
            QCOMPARE(image.size(), Metafile::drawnSize(natural, limit));
            QCOMPARE(drawnNatural, natural);
            QCOMPARE(image.pixelColor(image.width() / 4, image.height() / 4), QColor(Qt::red));
        }
    }
};

QTEST_MAIN(MetafileDrawingTest)
#include "test_metafile_drawing.moc"
