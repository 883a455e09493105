// HEIC, AVIF and JPEG XL pictures, written by libheif's, libavif's and
// libjxl's own encoders, are read, measured and listed as any other picture.
#include "browser/open_start_path.h"
#include "picture/picture_loader.h"
#include "support/fixtures.h"
#include "support/window_helpers.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

namespace {
QImage gradient()
{
    QImage image(96, 64, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 95, y * 255 / 63, 128));
    return image;
}

bool decoderModuleLoaded() { return fileBytes("/proc/self/maps").contains("pixalto-codecs.so"); }
}

class ModernFormatsTest : public QObject {
    Q_OBJECT
private slots:
    // Runs first: no other picture, nor a file that only claims to be one of
    // these, opens the decoders' module.
    void otherFilesLeaveTheDecodersUnloaded()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("other");
        for (const char* format : {"jpg", "png", "gif"})
            writeFile(dir + "/picture." + format, encoded(gradient(), format));
        writeFile(dir + "/png.heic", encoded(gradient(), "png"));
        writeFile(dir + "/text.jxl", "just text, no picture");
        for (const QString& name : QDir(dir).entryList(QDir::Files)) {
            probePicture(dir + "/" + name);
            ignoreFailure([&] { loadPicture(dir + "/" + name); });
        }
        QVERIFY(!decoderModuleLoaded());
    }

    void phonePicturesAreShownListedAndOpened_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<QString>("name");
        QTest::newRow("HEIC") << "heif-enc" << "photo.heic";
        QTest::newRow("AVIF") << "avifenc" << "photo.avif";
        QTest::newRow("JPEG XL") << "cjxl" << "photo.jxl";
    }
    void phonePicturesAreShownListedAndOpened()
    {
        QFETCH(QString, encoder);
        QFETCH(QString, name);
        TestEnvironment env;
        const QString dir = env.makeFolder("phone");
        QVERIFY(gradient().save(dir + "/source.png"));
        const QStringList arguments = encoder == "heif-enc" ? QStringList{"-q", "95", "-o", dir + "/" + name, dir + "/source.png"}
                                                            : QStringList{dir + "/source.png", dir + "/" + name};
        QProcess encode;
        encode.start(encoder, arguments);
        QVERIFY(encode.waitForFinished(60000) && encode.exitCode() == 0);

        QImage loaded;
        VERIFY_NO_PXERROR(loaded = loadPicture(dir + "/" + name));
        QVERIFY2(meanDifference(loaded, gradient()) <= 4.0, qPrintable(QString::number(meanDifference(loaded, gradient()))));
        QVERIFY(decoderModuleLoaded());
        const PictureProbe probe = probePicture(dir + "/" + name);
        QVERIFY(probe.readable);
        QCOMPARE(probe.size, QSize(96, 64));

        // Left out by the default pattern, opened from the command line as a
        // picture the pattern joins for this run.
        writeSetting("AutoZoom", "0");
        Viewer v(env.desktop(), dir);
        v.ui.File1->setPattern("*.jpg");
        openStartPath(v.form, dir + "/" + name);
        QVERIFY(fileArrived(v.form));
        QCOMPARE(v.ui.Label5->text(), QString("96 x 64"));

        // A JPEG XL made from a JPEG turned by its EXIF data keeps the turn.
        if (encoder == "cjxl") {
            writeFile(dir + "/turned.jpg", withOrientation(encoded(gradient(), "jpg"), 6));
            encode.start(encoder, {dir + "/turned.jpg", dir + "/turned.jxl"});
            QVERIFY(encode.waitForFinished(60000) && encode.exitCode() == 0);
            QCOMPARE(loadPicture(dir + "/turned.jxl").size(), QSize(64, 96));
            QCOMPARE(probePicture(dir + "/turned.jxl").size, QSize(64, 96));
        }

        // Cut short, it is refused as any broken picture is.
        writeFile(dir + "/cut-" + name, fileBytes(dir + "/" + name).left(300));
        QVERIFY_THROWS_EXCEPTION(PxError, loadPicture(dir + "/cut-" + name));
    }

    // A photo's media data runs far past the start that is read for its
    // size: the size comes from the boxes before it, so the info list and
    // the command line take it as a picture.
    void photoSizedHeicIsMeasuredFromItsStart()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("phone");
        QImage noise(1600, 1200, QImage::Format_RGB32);
        QRandomGenerator random(7);
        for (int y = 0; y < noise.height(); ++y)
            for (int x = 0; x < noise.width(); ++x)
                noise.setPixel(x, y, random.generate() | 0xff000000u);
        QVERIFY(noise.save(dir + "/noise.png"));
        QProcess encode;
        encode.start("heif-enc", {"-q", "95", "-o", dir + "/photo.heic", dir + "/noise.png"});
        QVERIFY(encode.waitForFinished(60000) && encode.exitCode() == 0);
        QVERIFY(QFileInfo(dir + "/photo.heic").size() > 1024 * 1024);
        const PictureProbe probe = probePicture(dir + "/photo.heic");
        QVERIFY(probe.readable);
        QCOMPARE(probe.size, QSize(1600, 1200));
    }
};

QTEST_MAIN(ModernFormatsTest)
#include "test_modern_formats.moc"
