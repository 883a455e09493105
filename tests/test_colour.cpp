// Pictures with an ICC profile are shown in sRGB, measured against
// ImageMagick's conversion (LittleCMS) of the same file; pictures without one
// are shown as they are.
#include "picture/picture_loader.h"
#include "support/fixtures.h"
#include "support/test_environment.h"
#include "support/test_files.h"
#include "support/window_helpers.h"

#include <QColorSpace>
#include <QProcess>
#include <QtTest>

namespace {
const QString ghostscriptProfiles = QStringLiteral("/usr/share/color/icc/ghostscript/");

// Every hue across, from grey to full saturation and from dark to bright
// down: the colours a profile moves the most and the least.
QImage pattern(QSize size = {96, 64})
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, QColor::fromHsv(x * 359 / (size.width() - 1), std::min(255, y * 8 % 264),
                                                      96 + (y * 5) % 160));
    return image;
}

bool convert(const QStringList& arguments)
{
    QProcess magick;
    magick.start(QStringLiteral("convert"), arguments);
    return magick.waitForFinished(60000) && magick.exitStatus() == QProcess::NormalExit && magick.exitCode() == 0;
}
}

class ColourTest : public QObject {
    Q_OBJECT
private slots:
    void profiledPicturesAreShownInSrgb_data()
    {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::newRow("Adobe RGB JPEG") << "a98.icc" << "adobe.jpg" << QSize(96, 64);
        // Large enough to be converted in bands on several threads.
        QTest::newRow("Adobe RGB PNG") << "a98.icc" << "adobe.png" << QSize(1300, 900);
        QTest::newRow("Display P3 JPEG") << "p3.icc" << "p3.jpg" << QSize(96, 64);
        QTest::newRow("CMYK JPEG, a table-based profile") << "default_cmyk.icc" << "cmyk.jpg" << QSize(96, 64);
    }
    void profiledPicturesAreShownInSrgb()
    {
        QFETCH(QString, profile);
        QFETCH(QString, file);
        QFETCH(QSize, size);
        TestEnvironment env;
        const QString dir = env.makeFolder("pics");
        QVERIFY(pattern(size).save(dir + "/pattern.png"));
        writeFile(dir + "/p3.icc", QColorSpace(QColorSpace::DisplayP3).iccProfile());
        const QString profilePath = file == "p3.jpg" ? dir + "/p3.icc" : ghostscriptProfiles + profile;
        const QString srgb = ghostscriptProfiles + "srgb.icc";
        // The pattern's numbers taken as the profile's, or, for the inks,
        // converted into them.
        const QStringList make = file == "cmyk.jpg" ? QStringList{"-profile", srgb, "-profile", profilePath}
                                                    : QStringList{"-profile", profilePath};
        QVERIFY(convert(QStringList{dir + "/pattern.png"} + make + QStringList{"-quality", "95", dir + "/" + file}));
        QVERIFY(convert({dir + "/" + file, "-profile", srgb, dir + "/reference.png"}));
        const QImage reference(dir + "/reference.png");
        QVERIFY(!reference.isNull());

        QImage loaded;
        VERIFY_NO_PXERROR(loaded = loadPicture(dir + "/" + file));
        QVERIFY2(meanDifference(loaded, reference) <= 2.0, qPrintable(QString::number(meanDifference(loaded, reference))));
        // Else the check above could not tell a converted picture from one
        // shown as its numbers say.
        if (file != "cmyk.jpg")
            QVERIFY(meanDifference(pattern(size), reference) > 4.0);

        // Selected in the main window, at 1:1, the picture shows the same.
        writeSetting("AutoZoom", "0");
        Viewer v(env.desktop(), dir);
        v.select(file);
        QVERIFY(meanDifference(v.ui.Image1->picture(), reference) <= 2.0);
    }

    void exifColourSpaceSaysAdobeRgb()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("pics");
        const QByteArray jpeg = encoded(pattern(), "jpg");
        writeFile(dir + "/plain.jpg", jpeg);
        QVERIFY(convert({dir + "/plain.jpg", "-profile", ghostscriptProfiles + "a98.icc", "-profile",
                         ghostscriptProfiles + "srgb.icc", dir + "/adobe.png"}));
        const QImage adobe(dir + "/adobe.png");
        const QImage plain = loadPicture(dir + "/plain.jpg");
        const struct {
            quint16 space;
            QByteArray index;
            QImage expected;
        } cases[] = {{0xFFFF, "R03", adobe}, {2, "", adobe}, {0xFFFF, "R98", plain}, {1, "R03", plain}};
        for (const auto& c : cases) {
            writeFile(dir + "/tagged.jpg", withColourSpace(jpeg, c.space, c.index));
            QVERIFY2(meanDifference(loadPicture(dir + "/tagged.jpg"), c.expected) <= 1.0,
                     qPrintable(QString::number(c.space) + c.index));
        }
    }

    void picturesWithoutAUsableProfileAreShownAsTheyAre()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("pics");
        QVERIFY(pattern().save(dir + "/plain.png"));
        const QImage plain = loadPicture(dir + "/plain.png");
        QCOMPARE(meanDifference(plain, pattern()), 0.0);

        // A profile LittleCMS cannot read: its signature spoilt.
        QVERIFY(convert({dir + "/plain.png", "-profile", ghostscriptProfiles + "a98.icc", "-quality", "95",
                         dir + "/spoilt.jpg"}));
        QByteArray jpeg = fileBytes(dir + "/spoilt.jpg");
        const qsizetype signature = jpeg.indexOf("acsp");
        QVERIFY(signature > 0);
        jpeg.replace(signature, 4, "xxxx");
        writeFile(dir + "/spoilt.jpg", jpeg);
        QImage loaded;
        VERIFY_NO_PXERROR(loaded = loadPicture(dir + "/spoilt.jpg"));
        QVERIFY(meanDifference(loaded, pattern()) <= 2.0);
    }
};

QTEST_MAIN(ColourTest)
#include "test_colour.moc"
