#include "platform/failure.h"
#include "platform/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

const QString fixtures = QStringLiteral(PIXALTO_FIXTURES_DIR);

QByteArray le16(quint16 v) { QByteArray b(2, 0); qToLittleEndian(v, b.data()); return b; }
QByteArray be16(quint16 v) { QByteArray b(2, 0); qToBigEndian(v, b.data()); return b; }
QByteArray le32(quint32 v) { QByteArray b(4, 0); qToLittleEndian(v, b.data()); return b; }
QByteArray be32(quint32 v) { QByteArray b(4, 0); qToBigEndian(v, b.data()); return b; }

quint32 crc32(const QByteArray& data)
{
    quint32 crc = 0xffffffffu;
    for (char c : data) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A JPEG with an Exif segment holding only the orientation tag.
QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation)
{
    QByteArray tiff = "II*\0"_ba + le32(8) + le16(1)
        + le16(0x0112) + le16(3) + le32(1) + le16(orientation) + le16(0) + le32(0);
    QByteArray exif = "Exif\0\0"_ba + tiff;
    return jpeg.left(2) + "\xFF\xE1"_ba + be16(quint16(exif.size() + 2)) + exif + jpeg.mid(2);
}

// Qt writes no GIF, so the tests write their own: four colours, and a clear
// code after every two pixels keeps every LZW code three bits wide.
QByteArray gif(const QList<QImage>& frames)
{
    const QList<QColor> palette{Qt::red, Qt::green, Qt::blue, Qt::white};
    const QSize size = frames.first().size();
    QByteArray out = "GIF89a"_ba + le16(quint16(size.width())) + le16(quint16(size.height()))
        + "\x81\x00\x00"_ba;
    for (const QColor& c : palette)
        out += char(c.red()), out += char(c.green()), out += char(c.blue());
    for (const QImage& frame : frames) {
        out += "\x21\xF9\x04\x00\x0A\x00\x00\x00"_ba; // 1/10 s per frame
        out += ","_ba + le16(0) + le16(0) + le16(quint16(size.width())) + le16(quint16(size.height())) + '\0';
        QByteArray packed;
        quint32 bits = 0;
        int count = 0;
        auto put = [&](int code) {
            bits |= quint32(code) << count;
            count += 3;
            while (count >= 8) {
                packed += char(bits & 0xff);
                bits >>= 8;
                count -= 8;
            }
        };
        int run = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                if (run++ % 2 == 0)
                    put(4);
                const QColor c = frame.pixelColor(x, y);
                int best = 0;
                for (int i = 1; i < palette.size(); ++i) {
                    auto dist = [&](const QColor& p) {
                        return qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue());
                    };
                    if (dist(palette[i]) < dist(palette[best]))
                        best = i;
                }
                put(best);
            }
        }
        put(5);
        if (count > 0)
            packed += char(bits & 0xff);
        out += '\x02';
        for (qsizetype at = 0; at < packed.size(); at += 255) {
            const QByteArray block = packed.mid(at, 255);
            out += char(block.size()) + block;
        }
        out += '\0';
    }
    return out + ";";
}

QImage twoColour(int w, int h, QColor corner, QColor rest)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(rest);
    QPainter(&image).fillRect(0, 0, w / 2, h / 2, corner);
    return image;
}

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40
        && qAbs(qBlue(a) - b.blue()) < 40;
}

}

class TestPictureLoader : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return f.fileName();
    }
    QByteArray encode(const QImage& image, const char* format)
    {
        if (qstrcmp(format, "gif") == 0)
            return gif({image});
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, format, 95))
            qFatal("cannot encode %s", format);
        return bytes;
    }
    // Puts a file's times well in the past, as for any file not just written.
    void age(const QString& path, int secondsAgo = 3600)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-secondsAgo),
                              QFileDevice::FileModificationTime));
    }

private slots:
    void naturalSizeOfEachFormat_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("name");
        for (const char* f : {"jpg", "bmp", "png", "gif", "ico", "webp", "tiff"})
            QTest::newRow(f) << QString::fromLatin1(f) << QStringLiteral("pic.") + f;
        // The content decides, not the name.
        QTest::newRow("png named jpg") << QStringLiteral("png") << QStringLiteral("really_png.jpg");
        QTest::newRow("png named wmf") << QStringLiteral("png") << QStringLiteral("really_png.wmf");
    }
    void naturalSizeOfEachFormat()
    {
        QFETCH(QString, format);
        QFETCH(QString, name);
        const QImage source = twoColour(37, 23, Qt::red, Qt::blue);
        const QString path = write(name, encode(source, format.toLatin1().constData()));
        const QImage image = loadPicture(path);
        QCOMPARE(image.size(), QSize(37, 23));
        QVERIFY(near(image.pixel(2, 2), Qt::red));
        QVERIFY(near(image.pixel(34, 20), Qt::blue));
    }

    void exifOrientationIsApplied_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("redAt");
        QTest::addColumn<QPoint>("blueAt");
        // The red block starts in the top-left corner of the stored 40x20 picture.
        QTest::newRow("1 upright") << 1 << QSize(40, 20) << QPoint(5, 4) << QPoint(34, 16);
        QTest::newRow("3 half turn") << 3 << QSize(40, 20) << QPoint(34, 16) << QPoint(5, 4);
        QTest::newRow("6 quarter right") << 6 << QSize(20, 40) << QPoint(16, 5) << QPoint(4, 5);
        QTest::newRow("8 quarter left") << 8 << QSize(20, 40) << QPoint(4, 34) << QPoint(16, 34);
    }
    void exifOrientationIsApplied()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, size);
        QFETCH(QPoint, redAt);
        QFETCH(QPoint, blueAt);
        const QByteArray jpeg = encode(twoColour(40, 20, Qt::red, Qt::blue), "jpg");
        const QImage image = loadPicture(write(QStringLiteral("exif.jpg"), withOrientation(jpeg, quint16(orientation))));
        QCOMPARE(image.size(), size);
        QVERIFY(near(image.pixel(redAt), Qt::red));
        QVERIFY(near(image.pixel(blueAt), Qt::blue));
    }

    void animatedGifGivesFirstFrame()
    {
        QImage red(8, 6, QImage::Format_RGB32), green(8, 6, QImage::Format_RGB32);
        red.fill(Qt::red);
        green.fill(Qt::green);
        const QImage image = loadPicture(write(QStringLiteral("anim.gif"), gif({red, green, green})));
        QCOMPARE(image.size(), QSize(8, 6));
        QVERIFY(near(image.pixel(4, 3), Qt::red));
    }

    void largePictureBeyondQtsDefaultLimitLoads()
    {
        // 81 megapixels: more than Qt's reader accepts by default.
        QImage big(9000, 9000, QImage::Format_RGB32);
        big.fill(QColor(10, 200, 30));
        const QString path = write(QStringLiteral("big.jpg"), encode(big, "jpg"));
        big = QImage();
        const QImage image = loadPicture(path);
        QCOMPARE(image.size(), QSize(9000, 9000));
        QVERIFY(near(image.pixel(8999, 8999), QColor(10, 200, 30)));
    }

    void reusedBuffersNeverChangeAPictureStillHeld()
    {
        QImage red(300, 200, QImage::Format_RGB32), green(300, 200, QImage::Format_RGB32);
        red.fill(Qt::red);
        green.fill(Qt::green);
        const QString redPath = write(QStringLiteral("red.jpg"), encode(red, "jpg"));
        const QString greenPath = write(QStringLiteral("green.jpg"), encode(green, "jpg"));
        QImage held = loadPicture(redPath);
        for (int i = 0; i < 6; ++i) {
            // Dropped pictures hand their buffers on; the held one keeps its pixels.
            const QImage g = loadPicture(greenPath);
            QVERIFY(near(g.pixel(150, 100), Qt::green));
            const QImage r = loadPicture(redPath);
            QVERIFY(near(r.pixel(150, 100), Qt::red));
        }
        QVERIFY(near(held.pixel(150, 100), Qt::red));
        QVERIFY(near(held.pixel(299, 199), Qt::red));
    }

    void metafilesAtHeaderSize_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("checkLayout");
        QTest::newRow("sample.wmf") << QStringLiteral("sample.wmf") << QSize(400, 300) << true;
        QTest::newRow("sample.emf") << QStringLiteral("sample.emf") << QSize(400, 300) << true;
        QTest::newRow("drawing.wmf") << QStringLiteral("drawing.wmf") << QSize(373, 273) << false;
        QTest::newRow("drawing.emf") << QStringLiteral("drawing.emf") << QSize(373, 273) << false;
    }
    void metafilesAtHeaderSize()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(bool, checkLayout);
        // Under a name that does not say what it is.
        const QString copy = dir.filePath(QStringLiteral("meta_") + file + QStringLiteral(".pic"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(fixtures + QLatin1Char('/') + file, copy));
        const QImage image = loadPicture(copy);
        QCOMPARE(image.size(), size);
        if (checkLayout) {
            // The drawing keeps its margin: red block from (20,20), filled blue
            // ellipse centred at (300,80), white page outside.
            QVERIFY(near(image.pixel(5, 5), Qt::white));
            QVERIFY(near(image.pixel(100, 80), Qt::red));
            QVERIFY(near(image.pixel(300, 80), Qt::blue));
            QVERIFY(near(image.pixel(395, 150), Qt::white));
        }
    }

    void badInputFailsWithoutCrashing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        const QImage source = twoColour(64, 48, Qt::red, Qt::blue);
        for (const char* f : {"jpg", "png", "bmp", "gif", "ico", "webp", "tiff"}) {
            const QByteArray whole = encode(source, f);
            QTest::newRow(qPrintable(QStringLiteral("truncated %1").arg(f)))
                << QStringLiteral("cut.") + f << whole.left(whole.size() / 2);
        }
        QFile crash(fixtures + QStringLiteral("/crash_emf.bin"));
        QVERIFY(crash.open(QIODevice::ReadOnly));
        const QByteArray crashBytes = crash.readAll();
        QFile wmf(fixtures + QStringLiteral("/sample.wmf"));
        QVERIFY(wmf.open(QIODevice::ReadOnly));
        const QByteArray wmfBytes = wmf.readAll();

        QByteArray random(4096, 0);
        QRandomGenerator rng(7);
        for (char& c : random)
            c = char(rng.bounded(256));

        QTest::newRow("empty") << QStringLiteral("empty.jpg") << QByteArray();
        QTest::newRow("text named jpg") << QStringLiteral("text.jpg") << "Just some words.\n"_ba.repeated(40);
        QTest::newRow("random named wmf") << QStringLiteral("noise.wmf") << random;
        QTest::newRow("random named emf") << QStringLiteral("noise.emf") << random;
        QTest::newRow("truncated wmf") << QStringLiteral("cut.wmf") << wmfBytes.left(wmfBytes.size() / 2);
        QTest::newRow("wmf header only") << QStringLiteral("head.wmf") << wmfBytes.left(40);
        QTest::newRow("emf header then noise") << QStringLiteral("head.emf") << crashBytes.left(88) + random;

        // Headers that claim 20000 x 20000 pixels.
        const QByteArray bmp = "BM"_ba + le32(54) + le32(0) + le32(54) + le32(40) + le32(20000)
            + le32(20000) + le16(1) + le16(24) + le32(0) + le32(0) + le32(2835) + le32(2835)
            + le32(0) + le32(0) + QByteArray(300, '\x7f');
        QTest::newRow("huge bmp") << QStringLiteral("huge.bmp") << bmp;
        const QByteArray ihdr = "IHDR"_ba + be32(20000) + be32(20000) + "\x08\x02\x00\x00\x00"_ba;
        const QByteArray png = "\x89PNG\r\n\x1a\n"_ba + be32(13) + ihdr + be32(crc32(ihdr))
            + be32(10) + "IDAT"_ba + QByteArray(10, 0) + be32(0);
        QTest::newRow("huge png") << QStringLiteral("huge.png") << png;
        QByteArray hugeEmf = crashBytes;
        qToLittleEndian<qint32>(2'000'000, hugeEmf.data() + 32); // frame right, 0.01 mm
        qToLittleEndian<qint32>(2'000'000, hugeEmf.data() + 36);
        QTest::newRow("huge emf") << QStringLiteral("huge.emf") << hugeEmf;
        QByteArray hugeWmf = wmfBytes;
        qToLittleEndian<qint16>(32000, hugeWmf.data() + 10);      // bounding box right
        qToLittleEndian<qint16>(32000, hugeWmf.data() + 12);      // and bottom
        qToLittleEndian<quint16>(1, hugeWmf.data() + 14);         // at one unit per inch
        QTest::newRow("huge wmf") << QStringLiteral("huge.wmf") << hugeWmf;
    }
    void badInputFailsWithoutCrashing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString path = write(name, bytes);
        try {
            loadPicture(path);
            QFAIL("the picture loaded");
        } catch (const PxError& e) {
            QCOMPARE(e.failure.number, Errors::invalidPicture().number);
        }
    }

    void emfThatCrashesThePlusParserIsHarmless()
    {
        // Drawn without its EMF+ records, or refused: either way an ordinary outcome.
        try {
            const QImage image = loadPicture(fixtures + QStringLiteral("/crash_emf.bin"));
            QVERIFY(!image.isNull());
        } catch (const PxError& e) {
            QCOMPARE(e.failure.number, Errors::invalidPicture().number);
        }
        QCOMPARE(loadPicture(fixtures + QStringLiteral("/sample.emf")).size(), QSize(400, 300));
    }

    void missingFileIsAnOsFailure()
    {
        try {
            loadPicture(dir.filePath(QStringLiteral("gone.jpg")));
            QFAIL("a missing file loaded");
        } catch (const PxError& e) {
            QCOMPARE(e.failure.number, ENOENT);
        }
    }

    void preloadedPictureIsWhatLoadPictureGives()
    {
        const QString a = write(QStringLiteral("pa.png"), encode(twoColour(50, 30, Qt::red, Qt::blue), "png"));
        const QString b = write(QStringLiteral("pb.jpg"),
                                withOrientation(encode(twoColour(40, 20, Qt::green, Qt::black), "jpg"), 6));
        const QString c = write(QStringLiteral("pc.gif"), encode(twoColour(10, 10, Qt::red, Qt::red), "gif"));
        age(a);
        age(b);
        age(c);
        PicturePreloader preloader;
        preloader.preload({a, b, c});
        QCOMPARE(preloader.load(a), loadPicture(a));
        QCOMPARE(preloader.load(b), loadPicture(b));
        // Only two are kept; the third still loads, now.
        QCOMPARE(preloader.load(c), loadPicture(c));
        QCOMPARE(preloader.load(fixtures + QStringLiteral("/sample.wmf")),
                 loadPicture(fixtures + QStringLiteral("/sample.wmf")));
    }

    void fileChangedAfterPreloadIsLoadedAgain()
    {
        const QString path = write(QStringLiteral("changing.png"), encode(twoColour(20, 20, Qt::red, Qt::red), "png"));
        age(path);
        PicturePreloader preloader;
        preloader.preload({path});
        QVERIFY(near(preloader.load(path).pixel(10, 10), Qt::red));

        // Same size, same format, new content, and the old modification time put back.
        const QDateTime oldTime = QFileInfo(path).lastModified();
        write(QStringLiteral("changing.png"), encode(twoColour(20, 20, Qt::green, Qt::green), "png"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(oldTime, QFileDevice::FileModificationTime));
        }
        QVERIFY(near(preloader.load(path).pixel(10, 10), Qt::green));

        // Rewritten with a new time, preloaded again, then removed.
        age(path, 60);
        preloader.preload({path});
        QVERIFY(near(preloader.load(path).pixel(10, 10), Qt::green));
        QVERIFY(QFile::remove(path));
        QVERIFY_THROWS_EXCEPTION(PxError, preloader.load(path));
    }

    void preloaderSurvivesDestructionMidDecode()
    {
        QImage big(4000, 3000, QImage::Format_RGB32);
        big.fill(Qt::darkCyan);
        const QString path = write(QStringLiteral("mid.jpg"), encode(big, "jpg"));
        age(path);
        for (int i = 0; i < 3; ++i) {
            PicturePreloader preloader;
            preloader.preload({path, fixtures + QStringLiteral("/drawing.emf")});
        }
        // Nothing the destroyed workers left behind spoils a later load.
        PicturePreloader preloader;
        preloader.preload({path});
        const QImage image = preloader.load(path);
        QCOMPARE(image, loadPicture(path));
        QVERIFY(near(image.pixel(3999, 2999), Qt::darkCyan));
    }
};

QTEST_MAIN(TestPictureLoader)
#include "test_picture_loader.moc"
