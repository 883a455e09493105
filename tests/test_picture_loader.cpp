#include "core/failure.h"
#include "jobs/job_pool.h"
#include "picture/jpeg_decoder.h"
#include "picture/metafile_format.h"
#include "picture/picture_loader.h"
#include "picture/picture_preloader.h"
#include "samples/metafile_writer.h"
#include "support/fixtures.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QtGui>
#include <QtTest>

#include <cerrno>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

using Probes = QList<std::pair<QPolygon, QColor>>; // points that must show a colour

template <typename T> QByteArray le(T v) { QByteArray b(sizeof v, 0); qToLittleEndian(v, b.data()); return b; }
QByteArray le16(quint16 v) { return le(v); }
QByteArray le32(quint32 v) { return le(v); }

// Qt writes no GIF; ffmpeg does, from PNG frames a tenth of a second apart.
// Without ffmpeg the test fails and the bytes are empty.
QByteArray gif(const QList<QImage>& frames)
{
    QTemporaryDir tmp;
    for (int i = 0; i < frames.size(); ++i)
        frames[i].save(tmp.filePath(QStringLiteral("f%1.png").arg(i)));
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-loglevel", "error", "-framerate", "10", "-i", tmp.filePath("f%d.png"), tmp.filePath("out.gif")});
    QFile out(tmp.filePath("out.gif"));
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0 || !out.open(QIODevice::ReadOnly)) {
        QTest::qFail(qPrintable("ffmpeg wrote no GIF: " + ffmpeg.errorString()), __FILE__, __LINE__);
        return {};
    }
    return out.readAll();
}

QByteArray encode(const QImage& image, const char* format)
{
    if (qstrcmp(format, "gif") == 0)
        return gif({image});
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, 95))
        QTest::qFail(qPrintable(QStringLiteral("cannot encode %1").arg(format)), __FILE__, __LINE__);
    return bytes;
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
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40 && qAbs(qBlue(a) - b.blue()) < 40;
}

// What the preloader hands out for path, waited for as the window waits:
// with the event loop running. Throws PxError like loadPicture.
QImage loadThrough(PicturePreloader& preloader, const QString& path)
{
    QObject receiver;
    std::optional<LoadedPicture> got;
    preloader.request(path, &receiver, [&](const LoadedPicture& loaded) { got = loaded; });
    if (!QTest::qWaitFor([&] { return got.has_value(); }, 60000))
        throw std::runtime_error("the preloader never answered");
    if (got->failure)
        throw PxError(*got->failure);
    return got->image;
}

// The failure number loading path gives (through the preloader when one is
// given); 0 when it loads, -1 for a null picture.
int failureOf(const QString& path, QImage* loaded = nullptr, PicturePreloader* preloader = nullptr)
{
    try {
        const QImage image = preloader ? loadThrough(*preloader, path) : loadPicture(path);
        if (loaded)
            *loaded = image;
        return image.isNull() ? -1 : 0;
    } catch (const PxError& e) {
        return e.failure.number;
    }
}

}

class TestPictureLoader : public QObject {
    Q_OBJECT

    TestEnvironment env;
    JobPool pool{2};
    QTemporaryDir dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return f.fileName();
    }
    // Puts a file's modification time at t (by default an hour ago, as for a file not just written).
    void stamp(const QString& path, QDateTime t = QDateTime::currentDateTime().addSecs(-3600))
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(t, QFileDevice::FileModificationTime));
    }

private slots:
    void naturalSizeAndOrientation_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Probes>("probes");
        auto row = [](const char* tag, const QString& name, const QByteArray& bytes, QSize size,
                      QPolygon red = {}, QPolygon blue = {}, QPolygon white = {}) {
            QTest::newRow(tag) << name << bytes << size << Probes{{red, Qt::red}, {blue, Qt::blue}, {white, Qt::white}};
        };
        // Odd sizes, so that rows need padding; red in the top-left quarter.
        const QImage odd = twoColour(37, 23, Qt::red, Qt::blue);
        for (const char* f : {"jpg", "bmp", "png", "gif", "ico", "webp", "tiff"})
            row(f, QStringLiteral("pic.") + f, encode(odd, f), {37, 23}, {{2, 2}}, {{34, 20}});
        // The content decides, not the name.
        for (const char* name : {"really_png.jpg", "really_png.wmf"})
            row(name, QString::fromLatin1(name), encode(odd, "png"), {37, 23}, {{2, 2}}, {{34, 20}});
        const QImage green = twoColour(37, 23, Qt::green, Qt::green);
        row("animated gif: first frame", "anim.gif", gif({odd, green, green}), {37, 23}, {{2, 2}}, {{34, 20}});
        // Larger than the header the loader checks first.
        const QImage large = twoColour(256, 256, Qt::red, Qt::blue);
        for (const char* f : {"ico", "tiff", "bmp"})
            row(("large " + QByteArray(f)).constData(), QStringLiteral("large.") + f, encode(large, f), {256, 256},
                {{2, 2}}, {{250, 250}});
        // 81 megapixels: more than Qt's reader accepts by default.
        row("81 MP jpg", "big.jpg", encode(twoColour(9000, 9000, Qt::red, Qt::blue), "jpg"), {9000, 9000},
            {{5, 4}}, {{8999, 8999}});

        // EXIF orientation of a stored 40x20 picture.
        const QByteArray jpeg = encode(twoColour(40, 20, Qt::red, Qt::blue), "jpg");
        row("exif 1 upright", "exif.jpg", withOrientation(jpeg, 1), {40, 20}, {{5, 4}}, {{34, 16}});
        row("exif 3 half turn", "exif.jpg", withOrientation(jpeg, 3), {40, 20}, {{34, 16}}, {{5, 4}});
        row("exif 6 quarter right", "exif.jpg", withOrientation(jpeg, 6), {20, 40}, {{16, 5}}, {{4, 5}});
        row("exif 8 quarter left", "exif.jpg", withOrientation(jpeg, 8), {20, 40}, {{4, 34}}, {{16, 34}});

        // Metafiles at their header size, under a name that does not say what they
        // are; the drawing keeps its margin: red block from (20,20), blue ellipse
        // centred at (300,80), white page outside.
        for (const auto& [tag, bytes] : {std::pair{"wmf", MetafileWriter::wmf()}, std::pair{"emf", MetafileWriter::emf()}})
            row(tag, "meta.pic", bytes, MetafileWriter::drawingSize, {{100, 80}}, {{300, 80}}, {{5, 5}, {395, 150}});
    }
    void naturalSizeAndOrientation()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QFETCH(Probes, probes);
        const QString path = write(name, bytes);
        QImage image;
        VERIFY_NO_PXERROR(image = loadPicture(path));
        QCOMPARE(image.size(), size);
        // The header alone tells the same size.
        const PictureProbe probe = probePicture(path);
        QVERIFY(probe.readable);
        QCOMPARE(probe.size, size);
        for (const auto& [points, colour] : probes)
            for (const QPoint& p : points)
                QVERIFY2(near(image.pixel(p), colour), qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
    }

    void corruptFilesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        // Whether the header alone shows it: cut, unknown or too large.
        QTest::addColumn<bool>("badHeader");
        const QImage source = twoColour(64, 48, Qt::red, Qt::blue);
        for (const char* f : {"jpg", "png", "bmp", "gif", "ico", "webp", "tiff"}) {
            const QByteArray whole = encode(source, f);
            QTest::addRow("truncated %s", f) << QStringLiteral("cut.") + f << whole.left(whole.size() / 2) << false;
            QTest::addRow("header of %s cut", f) << QStringLiteral("head.") + f << whole.left(12) << true;
        }
        QByteArray tall = encode(source, "jpg");
        const qsizetype frame = tall.indexOf("\xFF\xC0"_ba);
        qToBigEndian<quint16>(9999, tall.data() + frame + 5);
        qToBigEndian<quint16>(9999, tall.data() + frame + 7);
        QTest::newRow("JPEG claiming 9999x9999 over 64x48 of data") << "tall.jpg" << tall << false;
        QTest::newRow("JPEG cut in its scan") << "scan.jpg" << encode(source, "jpg").chopped(40) << false;
        // The header of a lossy WebP (30 bytes) with zeros where its data should be.
        const QByteArray webp = encode(source, "webp");
        QTest::newRow("WebP without payload") << "zeros.webp" << webp.left(30) + QByteArray(webp.size() - 30, 0) << false;
        const QByteArray emf = MetafileWriter::emf();
        const QByteArray wmf = MetafileWriter::wmf();
        QByteArray random(4096, 0);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
        QTest::newRow("zero bytes") << "empty.jpg" << QByteArray() << true;
        QTest::newRow("text named jpg") << "text.jpg" << "Just some words.\n"_ba.repeated(40) << true;
        QTest::newRow("random named wmf") << "noise.wmf" << random << true;
        QTest::newRow("random named emf") << "noise.emf" << random << true;
        QTest::newRow("wmf header then noise") << "head.wmf" << wmf.left(40) + random << false;
        QTest::newRow("wmf header only") << "head.wmf" << wmf.left(40) << false;
        QTest::newRow("wmf header cut") << "head.wmf" << wmf.left(30) << true;
        QTest::newRow("emf header cut") << "head.emf" << emf.left(60) << true;
        QTest::newRow("emf header then noise") << "head.emf" << emf.left(88) + random << false;
        // Its EMF+ records would crash a parser: drawn without them, or refused (the only row that may draw).
        QTest::newRow("bad emf+ records") << "crash.emf" << MetafileWriter::emfWithBadEmfPlus() << false;

        // Headers that claim 20000 x 20000 pixels.
        QTest::newRow("huge bmp") << "huge.bmp"
            << "BM"_ba + le32(54) + le32(0) + le32(54) + le32(40) + le32(20000) + le32(20000) + le16(1)
                   + le16(24) + le32(0) + le32(0) + le32(2835) + le32(2835) + le32(0) + le32(0)
                   + QByteArray(300, '\x7f') << true;
    }
    void corruptFilesAreRefused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, badHeader);
        FIXTURE(good, "drawing.emf");
        const QString path = write(name, bytes);
        const int passes = Jpeg::passes();
        const int failure = failureOf(path);
        // A cut-off JPEG is told by the pass that decodes it, no second one.
        if (QByteArrayView(QTest::currentDataTag()).startsWith("JPEG "))
            QCOMPARE(Jpeg::passes() - passes, 1);
        if (failure != 0 || QTest::currentDataTag() != QLatin1String("bad emf+ records"))
            QCOMPARE(failure, Errors::invalidPicture().number);
        if (badHeader)
            QVERIFY(!probePicture(path).readable);
        // Nothing the bad file left behind spoils the next good one.
        VERIFY_NO_PXERROR(QCOMPARE(loadPicture(good).size(), MetafileWriter::drawingSize));
    }

    // A pen thousands of pixels wide costs the drawing budget its outline,
    // not its area: such lines are still drawn at their width, and a pen
    // wider than the page covers it.
    void widePensAreDrawnAtTheirWidth()
    {
        // A unit a pixel, the zigzag 100 pixels wide.
        QByteArray bytes = MetafileWriter::wmf(MetafileWriter::drawingSize, 96, 100);
        const QColor green(0, 0xa0, 0);
        QImage image;
        VERIFY_NO_PXERROR(image = loadPicture(write("wide.wmf", bytes)));
        QVERIFY(near(image.pixel(60, 200), green));   // 20 pixels above the zigzag's first line
        QVERIFY(near(image.pixel(60, 120), Qt::red)); // the rectangle, 100 pixels above it

        const qsizetype outlinePen = bytes.indexOf("\x08\0\0\0\xFA\x02"_ba);
        qToLittleEndian<qint16>(25000, bytes.data() + outlinePen + 8);
        VERIFY_NO_PXERROR(image = loadPicture(write("wider.wmf", bytes)));
        for (const QPoint corner : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 299), QPoint(399, 170)})
            QVERIFY2(near(image.pixel(corner), Qt::black), qPrintable(QString::number(image.pixel(corner), 16)));
        QVERIFY(near(image.pixel(60, 200), green));
    }

    void largeMetafileIsDrawnWithinThePixelLimit_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("natural");
        QTest::newRow("emf") << MetafileWriter::emf({10000, 10000}) << QSize(10000, 10000);
        QTest::newRow("wmf") << MetafileWriter::wmf({6000, 4000}, 96) << QSize(6000, 4000);
        QTest::newRow("emf past the pixel bound") << MetafileWriter::emf({12000, 12000}) << QSize(12000, 12000);
        QTest::newRow("wmf past the pixel bound") << MetafileWriter::wmf({30000, 6000}, 96) << QSize(30000, 6000);
        QTest::newRow("emf a line down") << MetafileWriter::emf({49, 340000}) << QSize(49, 340000);
    }
    void largeMetafileIsDrawnWithinThePixelLimit()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, natural);
        const QString path = write("large.pic", bytes);
        const qint64 limit = Metafile::maxDrawnPixels;

        // The helper never writes more than the limit's worth of pixels.
        QProcess helper;
        helper.start(QStringLiteral(PIXALTO_BUILD_DIR "/pxmetafile"), {path, QString::number(limit)});
        qint64 written = 0;
        while (helper.waitForReadyRead(30000))
            written += helper.readAllStandardOutput().size();
        helper.waitForFinished(30000);
        written += helper.readAllStandardOutput().size();
        QCOMPARE(helper.exitCode(), 0);
        QVERIFY2(written > 20 && written <= 20 + 4 * limit, qPrintable(QString::number(written)));

        QImage image;
        VERIFY_NO_PXERROR(image = loadPicture(path));
        QCOMPARE(4 * qint64(image.width()) * image.height() + 20, written);
        QCOMPARE(image.size(), Metafile::drawnSize(natural, limit));
        QCOMPARE(naturalSize(image), natural);
        QCOMPARE(probePicture(path).size, natural);
        // The whole drawing, in proportion: red block, blue ellipse, white margin.
        const auto at = [&](double x, double y) { return image.pixel(int(x * image.width()), int(y * image.height())); };
        QVERIFY(near(at(0.25, 0.25), Qt::red));
        QVERIFY(near(at(0.75, 0.267), Qt::blue));
        QVERIFY(near(at(0.02, 0.02), Qt::white));
        // A picture drawn at its own size has that as its natural size.
        FIXTURE(small, "drawing.emf");
        QCOMPARE(naturalSize(loadPicture(small)), MetafileWriter::drawingSize);
    }

    void drawnSizeStaysWithinTheLimit_data()
    {
        QTest::addColumn<QSize>("natural");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QSize>("drawn");
        QTest::newRow("fits") << QSize(400, 300) << qint64(120000) << QSize(400, 300);
        QTest::newRow("square") << QSize(10000, 10000) << qint64(4096) * 4096 << QSize(4096, 4096);
        QTest::newRow("rounded down") << QSize(3000, 2000) << qint64(600000) << QSize(948, 632);
        QTest::newRow("a line across") << QSize(100'000'000, 1) << qint64(1000) << QSize(1000, 1);
        QTest::newRow("a line down") << QSize(1, 100'000'000) << qint64(1000) << QSize(1, 1000);
        QTest::newRow("nearly a line") << QSize(50'000, 2) << qint64(1000) << QSize(1000, 1);
    }
    void drawnSizeStaysWithinTheLimit()
    {
        QFETCH(QSize, natural);
        QFETCH(qint64, limit);
        QFETCH(QSize, drawn);
        QCOMPARE(Metafile::drawnSize(natural, limit), drawn);
    }

    void largeFilesAreReadAsFarAsTheirHeaderSays_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<QSize>("size"); // empty: refused as no picture
        QTest::addColumn<bool>("headerAccepted");
        QTest::newRow("text") << "Just some words.\n"_ba << QSize(0, 0) << false;
        // A JPEG start, frame and scan header claiming 60000 x 60000 pixels:
        // an eighth of it would do, but no data follows.
        QTest::newRow("huge jpeg") << QByteArray::fromHex(
            "FFD8" "FFC0001108EA60EA6003012200021101031101" "FFDA000C03010002110311003F00") << QSize(0, 0) << true;
        QTest::newRow("1 x 1 bmp") << "BM"_ba + le32(58) + le32(0) + le32(54) + le32(40) + le32(1) + le32(1) + le16(1)
                + le16(24) + le32(0) + le32(4) + le32(2835) + le32(2835) + le32(0) + le32(0) + "\xff\0\0\0"_ba
                                   << QSize(1, 1) << true;
    }
    void largeFilesAreReadAsFarAsTheirHeaderSays()
    {
        // Five sparse gigabytes, loaded with the address space capped well
        // below them: reading one whole would fail to allocate.
        QFETCH(QByteArray, head);
        QFETCH(QSize, size);
        QFETCH(bool, headerAccepted);
        QFile f(dir.filePath("huge.pic"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(head) == head.size());
        if (!f.resize(qint64(5) << 30))
            QSKIP("no sparse files here");
        f.close();
        rlimit before;
        QVERIFY(::getrlimit(RLIMIT_AS, &before) == 0);
        const rlimit capped{rlim_t(procStatusBytes("VmSize:") + (qint64(1) << 30)), before.rlim_max};
        QVERIFY(::setrlimit(RLIMIT_AS, &capped) == 0);
        QImage image;
        const int failure = failureOf(f.fileName(), &image);
        ::setrlimit(RLIMIT_AS, &before);
        QCOMPARE(failure, size.isEmpty() ? Errors::invalidPicture().number : 0);
        QCOMPARE(image.size(), size);
        QCOMPARE(probePicture(f.fileName()).readable, headerAccepted);
    }

    void onlyPlainFilesAreRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::newRow("missing") << "gone.jpg" << ENOENT;
        QTest::newRow("folder") << "folder.jpg" << EISDIR;
        // Opening one to read would wait for a writer for ever.
        QTest::newRow("fifo") << "fifo.jpg" << Errors::notPlainFile().number;
    }
    void onlyPlainFilesAreRead()
    {
        QFETCH(QString, name);
        QFETCH(int, error);
        const QString path = dir.filePath(name);
        QVERIFY(QDir(dir.path()).mkpath("folder.jpg"));
        QVERIFY(QFileInfo::exists(dir.filePath("fifo.jpg")) || ::mkfifo(QFile::encodeName(dir.filePath("fifo.jpg")), 0600) == 0);
        QCOMPARE(failureOf(path), error);
        QVERIFY(!probePicture(path).readable);
        PicturePreloader preloader(pool);
        QVERIFY_THROWS_EXCEPTION(PxError, loadThrough(preloader, path));
    }

    void viewerKeepsWithinItsBudget()
    {
        // A JPEG of 36 megapixels, turned upright by its EXIF orientation,
        // decodes smaller and keeps its natural size.
        const QString photo = write("wide.jpg", withOrientation(encode(twoColour(9000, 4000, Qt::red, Qt::blue), "jpg"), 6));
        PicturePreloader preloader(pool);
        QImage image;
        VERIFY_NO_PXERROR(image = loadThrough(preloader, photo));
        QVERIFY(qint64(image.width()) * image.height() <= PicturePreloader::shownPixels);
        QCOMPARE(naturalSize(image), QSize(4000, 9000));
        QVERIFY(near(image.pixel(image.width() - 5, 5), Qt::red));

        // One-pixel GIFs on screens of 10000 x 10000, which Qt decodes whole:
        // refused, neighbours and all, rather than held.
        const QByteArray screen = "GIF89a"_ba + le16(10000) + le16(10000) + "\x80\0\0\xff\xff\xff\0\0\0"_ba
            + ",\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;"_ba;
        QStringList gifs;
        for (int i = 0; i < 6; ++i)
            gifs.append(write(QStringLiteral("screen%1.gif").arg(i), screen));
        for (int i = 0; i < 6; ++i) {
            preloader.preload(gifs.mid(i + 1, 1));
            QCOMPARE(failureOf(gifs[i], nullptr, &preloader), Errors::invalidPicture().number);
        }
    }

    void cancelledJpegDecodeStopsBetweenRows()
    {
        TestEnvironment env;
        const QString path = env.makeFolder("p") + "/big.jpg";
        savePicture(path, {2000, 1500});
        const std::atomic<bool> cancelled = true;
        const int passes = Jpeg::passes();
        QVERIFY_THROWS_EXCEPTION(PxError, loadPicture(path, &cancelled, PicturePreloader::shownPixels));
        QCOMPARE(Jpeg::passes(), passes + 1);
    }

    void preloaderGivesWhatLoadPictureGives()
    {
        FIXTURE(emf, "drawing.emf");
        FIXTURE(wmf, "drawing.wmf");
        const QString mid = write("mid.jpg", encode(twoColour(4000, 3000, Qt::darkCyan, Qt::darkCyan), "jpg"));
        const QString a = write("pa.png", encode(twoColour(50, 30, Qt::red, Qt::blue), "png"));
        const QString b = write("pb.jpg", withOrientation(encode(twoColour(40, 20, Qt::green, Qt::black), "jpg"), 6));
        const QString c = write("pc.gif", encode(twoColour(10, 10, Qt::red, Qt::red), "gif"));
        for (const QString& p : {mid, a, b, c})
            stamp(p);
        // Preloaders destroyed mid-decode leave nothing that spoils a later load.
        for (int i = 0; i < 3; ++i)
            PicturePreloader(pool).preload({mid, emf});

        // With room for all, for the first two small ones, and for none: what
        // was not preloaded still loads, now.
        const qint64 small = 50 * 30 * 4 + 40 * 20 * 4;
        for (qint64 budget : {PicturePreloader::defaultBudget, small, qint64(1)}) {
            PicturePreloader preloader(pool, budget);
            preloader.preload({a, b, c});
            for (const QString& p : {a, b, c, wmf, c})
                VERIFY_NO_PXERROR(QCOMPARE(loadThrough(preloader, p), loadPicture(p)));
            preloader.preload({mid, a});
            QCOMPARE(loadThrough(preloader, mid), loadPicture(mid));
            QCOMPARE(loadThrough(preloader, a), loadPicture(a));
            // A jump while a metafile neighbour draws: the drawing given up
            // is not what that file gives later.
            preloader.preload({emf});
            QCOMPARE(loadThrough(preloader, b), loadPicture(b));
            QCOMPARE(loadThrough(preloader, emf), loadPicture(emf));
        }
    }

    void fileChangedAfterPreloadIsLoadedAgain()
    {
        const QString path = write("changing.png", encode(twoColour(20, 20, Qt::red, Qt::red), "png"));
        stamp(path);
        PicturePreloader preloader(pool);
        preloader.preload({path});
        QVERIFY(near(loadThrough(preloader, path).pixel(10, 10), Qt::red));

        // Same size, same format, new content, and the old modification time put back.
        const QDateTime oldTime = QFileInfo(path).lastModified();
        write("changing.png", encode(twoColour(20, 20, Qt::green, Qt::green), "png"));
        stamp(path, oldTime);
        QVERIFY(near(loadThrough(preloader, path).pixel(10, 10), Qt::green));

        // Rewritten with a new time, preloaded again, then removed.
        stamp(path, QDateTime::currentDateTime().addSecs(-60));
        preloader.preload({path});
        QVERIFY(near(loadThrough(preloader, path).pixel(10, 10), Qt::green));
        QVERIFY(QFile::remove(path));
        QVERIFY_THROWS_EXCEPTION(PxError, loadThrough(preloader, path));
    }
};

QTEST_MAIN(TestPictureLoader)
#include "test_picture_loader.moc"
