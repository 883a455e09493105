// Selecting a file shows it: the picture path with its zoom states, the
// failure paths, the status texts, the animation and movie paths, and a
// corpus of bad files that must never take the viewer down.
#include "desktop/clipboard.h"
#include "desktop/screen.h"
#include "media/form3.h"
#include "media/form5.h"
#include "movie/movie_player.h"
#include "picture/metafile_format.h"
#include "picture/jpeg_decoder.h"
#include "picture/picture_preloader.h"
#include "samples/metafile_writer.h"
#include "settings/log_files.h"
#include "support/fixtures.h"
#include "support/fuse_mount.h"
#include "support/window_helpers.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class ShowTest : public QObject {
    Q_OBJECT
private slots:
    void naturalSizeZoomOptionsAndAutoZoom();
    void wheelScrollsAnEnlargedPicture();
    void animatedPicturesPlay_data();
    void animatedPicturesPlay();
    void failedLoadReportsOrGoesToDesktop();
    void badFilesNeverTakeTheViewerDown();
    void picturesLoadWhileTheWindowRuns();
    void largeMetafileKeepsItsHeaderSize();
    void hugeJpegIsShownFitted();
    void neighboursDecodeOnceThePictureIsPainted();
    void moviesPlayHereOrInTheVivoWindow();
};

void ShowTest::naturalSizeZoomOptionsAndAutoZoom()
{
    TestEnvironment env;
    writeSetting("AutoZoom", "0");
    const QString dir = env.makeFolder("pics");
    savePicture(dir + "/pic.bmp", {640, 480}, Qt::blue);
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    f.resize(env.screen.twipsToPixelsX(12192), env.screen.twipsToPixelsY(8664));
    v.select("pic.bmp");
    QVERIFY(ui.Option3->isChecked());
    QCOMPARE(ui.Image1->size(), QSize(640, 480));

    const struct {
        QRadioButton* option;
        QSize size;
        const char* panel;
    } cases[] = {{ui.Option2, {320, 240}, "1:2"}, {ui.Option3, {640, 480}, "1:1"},
                 {ui.Option1, {160, 120}, "1:4"}, {ui.Option4, {1280, 960}, "2:1"}};
    for (const auto& c : cases) {
        c.option->click();
        QCOMPARE(ui.Image1->size(), c.size);
        QCOMPARE(ui.StatusBar1->text(4), QString(c.panel));
        QCOMPARE(ui.Image1->stretch(), c.option != ui.Option3);
        // Shrunk, the picture is scaled off the paint path, once.
        if (c.size.width() < 640)
            QTRY_COMPARE(ui.Image1->ready().size(), c.size);
    }
    // At 2:1 the picture runs past its area; the status bar stays above it.
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QImage bar = f.grab(ui.StatusBar1->geometry()).toImage();
    int pictureDots = 0;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            pictureDots += bar.pixelColor(x, y) == QColor(Qt::blue);
    QCOMPARE(pictureDots, 0);

    // With auto zoom the same picture shrinks by 1% steps to fit the window.
    // A file neither shown nor preloaded yet, so that it is decoded for the
    // size it is shown at.
    writeSetting("AutoZoom", "1");
    savePicture(dir + "/fresh.bmp", {640, 480}, Qt::blue);
    ui.File1->refresh();
    v.select("fresh.bmp");
    QCOMPARE(ui.Label5->text(), QString("640 x 480"));
    QCOMPARE(ui.StatusBar1->text(4), QString("Auto"));
    QVERIFY(!ui.Option1->isChecked() && !ui.Option2->isChecked() && !ui.Option3->isChecked()
            && !ui.Option4->isChecked());
    QVERIFY(ui.Image1->stretch());
    const double limit = 0.743 * f.frameGeometry().width() * 15;
    QVERIFY(ui.Image1->widthTwips() <= limit);
    QVERIFY(ui.Image1->widthTwips() / 0.99 > limit);
    // Decoded at the size shown, it is drawn as it came; Copy, Save As and
    // a zoom to 2:1 still get the whole picture.
    QCOMPARE(ui.Image1->wholePicture().shown().size(), ui.Image1->size());
    // Off the window's thread, so nothing is copied before the window runs on.
    ui.Command6->click();
    QVERIFY(Clipboard::image().isNull());
    QTRY_COMPARE(Clipboard::image().size(), QSize(640, 480));
    env.dialogs.fileAnswers = {{dir + "/whole.bmp", 2}};
    f.saveas_Click();
    QVERIFY(f.copying());
    QTRY_COMPARE(QImage(dir + "/whole.bmp").size(), QSize(640, 480));
    ui.Option4->click();
    QTRY_COMPARE(ui.Image1->wholePicture().shown().size(), QSize(640, 480));
}

void ShowTest::neighboursDecodeOnceThePictureIsPainted()
{
    TestEnvironment env;
    const QString dir = env.makeFolder("pics");
    for (const char* name : {"a.jpg", "b.jpg"})
        savePicture(dir + "/" + name, {64, 48}, Qt::darkCyan);
    // A file decoded just after it was written is not trusted to be the same later.
    QTRY_VERIFY(QFileInfo(dir + "/b.jpg").lastModified().msecsTo(QDateTime::currentDateTime()) > 200);
    Viewer v(env.desktop(), dir);
    v.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&v.form));
    v.form.setUpdatesEnabled(false);
    v.select("a.jpg");
    const int passes = Jpeg::passes();
    QSignalSpy painted(v.ui.Image1, &ImageView::pictureOnScreen);
    v.form.setUpdatesEnabled(true);
    QVERIFY(painted.wait());
    QTRY_COMPARE(Jpeg::passes(), passes + 1);
    // The next one comes from that decode.
    v.select("b.jpg");
    QCOMPARE(Jpeg::passes(), passes + 1);
    QCOMPARE(v.ui.Label5->text(), QString("64 x 48"));
}

void ShowTest::hugeJpegIsShownFitted()
{
    // 400 megapixels, four times the bound: decoded smaller, within the budget.
    TestEnvironment env;
    writeSetting("AutoZoom", "1");
    const QString dir = env.makeFolder("big");
    savePlainJpeg(dir + "/huge.jpg", {20000, 20000}, Qt::darkGreen);
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    f.resize(env.screen.twipsToPixelsX(12192), env.screen.twipsToPixelsY(8664));
    writeFile("/proc/self/clear_refs", "5");
    const qint64 before = procStatusBytes("VmHWM:");
    v.select("huge.jpg");
    QCOMPARE(ui.Label5->text(), QString("20000 x 20000"));
    QCOMPARE(ui.Image1->wholePicture().shown().size(), ui.Image1->size());
    QVERIFY(ui.Image1->width() < 1000);
    QVERIFY(procStatusBytes("VmHWM:") - before < PicturePreloader::defaultBudget);
}

void ShowTest::wheelScrollsAnEnlargedPicture()
{
    TestEnvironment env;
    writeSetting("AutoZoom", "0");
    const QString dir = env.makeFolder("pics");
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter(&picture).fillRect(0, 0, 640, 120, Qt::red);
    QVERIFY(picture.save(dir + "/tall.png"));
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    f.resize(env.screen.twipsToPixelsX(12192), env.screen.twipsToPixelsY(8664));
    f.show();
    v.select("tall.png");
    const auto topLeft = [&] { return ui.Image1->grab(QRect(0, 0, 1, 1)).toImage().pixelColor(0, 0); };
    // A picture that fits does not move; at 2:1 the wheel brings its lower
    // part into the window, and the next size starts at the top again.
    turnWheel(ui.Image1, {0, -120 * 20});
    QCOMPARE(ui.Image1->scrolled(), QPoint());
    ui.Option4->click();
    QCOMPARE(topLeft(), QColor(Qt::red));
    turnWheel(ui.Image1, {0, -120 * 20});
    QVERIFY(ui.Image1->scrolled().y() > 240);
    QCOMPARE(topLeft(), QColor(Qt::blue));
    ui.Option3->click();
    QCOMPARE(ui.Image1->scrolled(), QPoint());
}

void ShowTest::animatedPicturesPlay_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("GIF") << "anim.gif";
    QTest::newRow("WebP") << "anim.webp";
    QTest::newRow("PNG") << "anim.png";
}

void ShowTest::animatedPicturesPlay()
{
    QFETCH(QString, name);
    TestEnvironment env;
    writeSetting("AutoZoom", "0");
    const QString dir = env.makeFolder("anim");
    // ImageMagick writes no animated PNG: ffmpeg turns its GIF into one.
    const QString made = dir + (name.endsWith(".png") ? "/made.gif" : "/" + name);
    QProcess magick;
    magick.start("convert", {"-size", "40x30", "xc:red", "xc:lime", "xc:blue", "-set", "delay", "20", "-loop", "0",
                             "-define", "webp:lossless=true", made});
    QVERIFY(magick.waitForFinished(60000) && magick.exitCode() == 0);
    if (made.endsWith("made.gif")) {
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-loglevel", "error", "-i", made, "-plays", "0", "-f", "apng", dir + "/" + name});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    }
    savePicture(dir + "/still.png", {40, 30}, Qt::yellow);
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    f.show();
    v.select(name);
    const auto centre = [&] {
        return ui.Image1->grab(QRect(ui.Image1->width() / 2, ui.Image1->height() / 2, 1, 1)).toImage().pixelColor(0, 0);
    };
    // In order and looped, at every zoom; Copy takes the first frame.
    for (const QColor colour : {QColor(Qt::green), QColor(Qt::blue), QColor(Qt::red)})
        QTRY_COMPARE(centre(), colour);
    ui.Option4->click();
    QTRY_COMPARE(centre(), QColor(Qt::green));
    ui.Command6->click();
    QTRY_COMPARE(Clipboard::image().pixelColor(0, 0), QColor(Qt::red));
    Form3* separate = openWith<Form3>(v.form);
    QTRY_VERIFY(separate->Image1->animating());
    v.select("still.png");
    QVERIFY(!ui.Image1->animating());
    QCOMPARE(centre(), QColor(Qt::yellow));
}

void ShowTest::failedLoadReportsOrGoesToDesktop()
{
    for (const char* ole : {"0", "1.0"}) {
        TestEnvironment env;
        writeSetting("OLE", ole);
        const QString dir = env.makeFolder("pics");
        savePicture(dir + "/a.png", {30, 20}, Qt::green);
        writeFile(dir + "/b.jpg", "this is only text, not a picture\n");
        Viewer v(env.desktop(), dir);
        Form1& f = v.form;
        const Form1Controls& ui = v.ui;
        v.select("a.png");
        const QImage before = ui.Image1->picture();
        // Selecting puts back what a copy or move left behind.
        ui.Command2->setEnabled(false);
        ui.Command6->setText("done");
        v.select("b.jpg");
        QCOMPARE(f.windowTitle(), QString("Pixalto"));
        QCOMPARE(ui.StatusBar1->text(2), dir + "/b.jpg (33 bytes)");
        QVERIFY(ui.Command2->isEnabled());
        QCOMPARE(ui.Command6->text(), QString("&Copy"));
        QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);
        if (QString(ole) == "1.0") {
            QCOMPARE(env.launcher.opened, QStringList{dir + "/b.jpg"});
            QVERIFY(env.dialogs.messages.isEmpty());
            QVERIFY(!ui.Image1->hasPicture());
            continue;
        }
        QVERIFY(env.launcher.opened.isEmpty());
        QCOMPARE(env.dialogs.beeps, 1);
        QCOMPARE(env.dialogs.messages.size(), 1);
        const MessageBoxRequest& box = env.dialogs.messages.first();
        QVERIFY2(box.title.startsWith("Picture load ERROR 481 ("), qPrintable(box.title));
        QVERIFY(box.text.startsWith("Unable to open the selected picture, the file may be corrupted."));
        QCOMPARE(box.icon, MsgIcon::Critical);
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().endsWith("> " + box.title + "\""));
        // The previous picture stays.
        QCOMPARE(ui.Image1->picture(), before);
        QVERIFY(ui.Image1->isVisibleTo(&f));
    }
}

void ShowTest::badFilesNeverTakeTheViewerDown()
{
    TestEnvironment env;
    writeSetting("OLE", "0");
    const QString dir = env.makeFolder("bad");
    savePicture(dir + "/00-good.png", {12, 12}, Qt::red);
    QImage sample(200, 150, QImage::Format_RGB32);
    sample.fill(Qt::cyan);
    for (const char* format : {"jpg", "png", "bmp", "ico"}) {
        const QByteArray bytes = encoded(sample, format);
        writeFile(dir + "/cut." + format, bytes.left(bytes.size() / 2));
    }
    writeFile(dir + "/zero.jpg", "");
    writeFile(dir + "/noise.wmf", QByteArray(4096, '\x7f'));
    writeFile(dir + "/noise.emf", QByteArray::fromHex("01000000") + QByteArray(300, '\x01'));
    FIXTURE(badEmfPlus, "emfplus.emf");
    QVERIFY(QFile::copy(badEmfPlus, dir + "/crash.emf"));
    writeFile(dir + "/huge.bmp", QByteArray::fromHex("424d00000000000000003600000028000000204e0000204e000001001800"));
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    v.select("00-good.png");
    const QImage good = ui.Image1->picture();
    int failures = 0;
    for (int i = 1; i < ui.File1->listCount(); ++i) {
        const int before = int(env.dialogs.messages.size());
        ui.File1->setListIndex(i);
        QVERIFY(fileArrived(f));
        const bool failed = env.dialogs.messages.size() == before + 1;
        // A damaged file either fails or shows as a picture; the crash input
        // may render safely with its EMF+ records skipped.
        QVERIFY2(failed || ui.Image1->picture() != good, qPrintable(ui.File1->item(i)));
        if (failed) {
            ++failures;
            QVERIFY(env.dialogs.messages.last().title.startsWith("Picture load ERROR "));
        }
        QCOMPARE(f.windowTitle(), QString("Pixalto"));
    }
    QVERIFY(failures >= ui.File1->listCount() - 2);
}

void ShowTest::picturesLoadWhileTheWindowRuns()
{
    // The pictures come from a drive whose reads wait while the gate file
    // exists, as a share that stops answering: a load is under way for as
    // long as the test holds it.
    TestEnvironment env;
    writeSetting("AutoZoom", "1");
    const QString backing = env.makeFolder("backing");
    const QString dir = env.makeFolder("share");
    const QString gate = env.makeFolder("gate") + "/closed";
    savePicture(backing + "/1.png", {30, 20}, Qt::green);
    savePicture(backing + "/2.png", {30, 20}, Qt::red);
    savePicture(backing + "/3.jpg", {60, 40}, Qt::darkCyan);
    savePicture(backing + "/4.jpg", {64, 48}, Qt::darkRed);
    savePicture(backing + "/5.png", {12, 8}, Qt::blue);
    // Never shown nor next to a shown picture, so never preloaded.
    savePicture(backing + "/6.png", {12, 8}, Qt::yellow);
    const FuseMount share("stall_fs", {backing, dir, gate}, dir);
    REQUIRE_MOUNTED(share);
    const auto release = [&] {
        QFile::remove(gate);
        QFile::remove(gate + ".held");
    };
    const auto readHeld = [&] { return QTest::qWaitFor([&] { return QFile::exists(gate + ".held"); }, 20000); };
    auto v = std::make_unique<Viewer>(env.desktop(), dir);
    Form1& f = v->form;
    const Form1Controls& ui = v->ui;
    f.show();
    v->select("1.png");

    writeFile(gate, {});
    v->beginSelect("3.jpg");
    // The window runs on while the drive holds the read.
    QVERIFY(readHeld());
    QVERIFY(f.loadingFile());
    QCOMPARE(f.windowTitle(), QString("Pixalto - Please wait, loading picture"));
    QCOMPARE(f.cursor().shape(), Qt::WaitCursor);
    QCOMPARE(f.shownPath(), dir + "/3.jpg");
    f.Timer1_Timer();
    QCOMPARE(ui.File1->listIndex(), 2); // the autoskip tick is skipped
    release();
    QVERIFY(fileArrived(f));
    // The steps after the load, as if it had not waited.
    QCOMPARE(ui.Image1->picture().size(), QSize(60, 40));
    QCOMPARE(ui.Label5->text(), QString("60 x 40"));
    QCOMPARE(ui.StatusBar1->text(4), QString("Auto"));
    QCOMPARE(ui.Label7->text(), QString("Current: 3"));
    QCOMPARE(f.windowTitle(), QString("Pixalto"));
    QCOMPARE(f.cursor().shape(), Qt::ArrowCursor);

    // A selection made during a load wins: the picture asked for before it,
    // though ready first, never shows.
    writeFile(gate, {});
    v->beginSelect("5.png");
    v->beginSelect("4.jpg");
    QVERIFY(readHeld());
    release();
    bool staleShown = false;
    const auto settled = [&] {
        staleShown = staleShown || ui.Label5->text() == "12 x 8";
        return !f.loadingFile();
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 60000);
    QVERIFY(!staleShown);
    QCOMPARE(f.shownPath(), dir + "/4.jpg");
    QCOMPARE(ui.Label5->text(), QString("64 x 48"));
    QCOMPARE(ui.Label7->text(), QString("Current: 4"));

    // Closing during a load closes at once; the window goes once the drive
    // lets the read go.
    writeFile(gate, {});
    v->beginSelect("6.png");
    QVERIFY(readHeld());
    QVERIFY(f.loadingFile());
    f.close();
    QVERIFY(!f.isVisible());
    QVERIFY(!f.loadingFile());
    release();
    v.reset();
}

void ShowTest::largeMetafileKeepsItsHeaderSize()
{
    // Drawn smaller than its 10000 x 10000 frame, the picture is still
    // measured and zoomed by the frame, and shows its drawing at any zoom.
    TestEnvironment env;
    writeSetting("AutoZoom", "0");
    const QString dir = env.makeFolder("meta");
    writeFile(dir + "/huge.emf", MetafileWriter::emf({10000, 10000}));
    Viewer v(env.desktop(), dir);
    const Form1Controls& ui = v.ui;
    v.select("huge.emf");
    QCOMPARE(ui.Label5->text(), QString("10000 x 10000"));
    QCOMPARE(ui.Image1->size(), QSize(10000, 10000));
    const QImage& drawn = ui.Image1->picture();
    QVERIFY(qint64(drawn.width()) * drawn.height() <= Metafile::maxDrawnPixels);
    // The red block spans 5-45 % across and 6.7-46.7 % down, the blue
    // ellipse is centred at 75 % across and 26.7 % down.
    const auto colourAt = [&](double x, double y) {
        const QPoint at(int(x * ui.Image1->width()), int(y * ui.Image1->height()));
        return ui.Image1->grab(QRect(at, QSize(1, 1))).toImage().pixelColor(0, 0);
    };
    for (QRadioButton* option : {ui.Option3, ui.Option2, ui.Option4}) {
        option->click();
        QCOMPARE(colourAt(0.25, 0.25), QColor(Qt::red));
        QCOMPARE(colourAt(0.75, 0.267), QColor(Qt::blue));
        QCOMPARE(colourAt(0.02, 0.02), QColor(Qt::white));
    }
    QCOMPARE(ui.Image1->size(), QSize(20000, 20000));
}

void ShowTest::moviesPlayHereOrInTheVivoWindow()
{
    TestEnvironment env;
    writeSetting("OnTop", "0");
    const QString dir = env.makeFolder("clips");
    QVERIFY(makeClip(dir + "/clip.avi", "testsrc=size=160x120:rate=10"));
    writeFile(dir + "/broken.avi", "RIFF....AVI garbage that is not a movie");
    FIXTURE(viv, "clip.viv");
    QVERIFY(QFile::copy(viv, dir + "/clip.VIV"));
    writeFile(dir + "/junk.viv", "not a vivo movie");
    Viewer v(env.desktop(), dir);
    Form1& f = v.form;
    const Form1Controls& ui = v.ui;
    f.setFileKind(false, "*.*");
    ui.Label5->setText("1 x 1");
    // The window runs on while the player opens the file; a slide-show tick
    // waits for it (moved on, the clip would never show).
    v.beginSelect("clip.avi");
    QCOMPARE(f.windowTitle(), QString("Pixalto - Please wait, loading animation"));
    f.Timer1_Timer();
    QVERIFY(fileArrived(f));
    QVERIFY(ui.AM1->isVisibleTo(&f));
    QVERIFY(!ui.Image1->isVisibleTo(&f));
    QCOMPARE(ui.Label5->text(), QString());
    QCOMPARE(ui.AM1->size(), QSize(160, 120));
    QCOMPARE(ui.StatusBar1->text(4), QString("1.0"));
    ui.Option1->click();
    QCOMPARE(ui.AM1->speed(), 0.25);
    QCOMPARE(ui.StatusBar1->text(4), QString(".25"));

    // Moved on while it opens, the broken file is never reported.
    v.beginSelect("broken.avi");
    v.select("clip.avi");
    QCOMPARE(ui.AM1->fileName(), dir + "/clip.avi");

    v.select("broken.avi");
    QCOMPARE(env.dialogs.messages.size(), 1);
    QVERIFY(env.dialogs.messages.first().title.startsWith("Animation load ERROR 482 ("));
    QVERIFY(logLines(programLogPath()).last().endsWith("> " + env.dialogs.messages.first().title + "\""));
    QCOMPARE(f.windowTitle(), QString("Pixalto"));
    QVERIFY(ui.StatusBar1->text(2).startsWith(dir + "/broken.avi ("));

    // Vivo movies open their own window, which closes with this one.
    v.select("clip.VIV");
    QCOMPARE(env.dialogs.messages.size(), 1);
    Form5* player = Form5::existing(f.secondaryWindows());
    QVERIFY(player && player->isVisible());
    v.select("junk.viv");
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(f.windowTitle(), QString("Pixalto"));
    // Closing while a movie opens: nothing more comes of it.
    v.beginSelect("clip.VIV");
    f.close();
    QVERIFY(!Form5::existing(f.secondaryWindows()) && !f.loadingFile());
}

QTEST_MAIN(ShowTest)
#include "test_show.moc"
