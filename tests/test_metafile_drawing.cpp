// What the metafile helper's drawing code makes of files from other writers:
// where the picture lies on its page, and what its text and pens look like.
#include "metafile/metafile_render.h"
#include "samples/metafile_writer.h"

#include <QTest>

namespace {
struct Probe { QPoint at; QColor colour; };
}

class MetafileDrawingTest : public QObject {
    Q_OBJECT
private slots:
    void picturesAreFramedByTheirHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<Probe>>("probes");
        // The block's corners a few pixels in and out; the page's corner.
        QTest::newRow("emf frame wider than its bounds") << MetafileWriter::emfWithMargin() << QSize(400, 300)
            << QList<Probe>{{{5, 5}, Qt::white}, {{105, 80}, Qt::black}, {{95, 70}, Qt::white},
                            {{295, 220}, Qt::black}, {{305, 230}, Qt::white}};
    }
    void picturesAreFramedByTheirHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(QList<Probe>, probes);
        QSize natural;
        QString why;
        const QImage image = Metafile::isEmf(bytes) ? Metafile::renderEmf(bytes, Metafile::maxDrawnPixels, &natural, &why)
                                                    : Metafile::renderWmf(bytes, Metafile::maxDrawnPixels, &natural, &why);
        QVERIFY2(!image.isNull(), qPrintable(why));
        QCOMPARE(image.size(), size);
        for (const Probe& probe : probes)
            QVERIFY2(image.pixelColor(probe.at) == probe.colour,
                     qPrintable(QStringLiteral("at %1,%2: %3").arg(probe.at.x()).arg(probe.at.y()).arg(image.pixelColor(probe.at).name())));
    }
};

QTEST_MAIN(MetafileDrawingTest)
#include "test_metafile_drawing.moc"
