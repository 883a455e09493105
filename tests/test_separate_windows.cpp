// The separate picture and animation windows: fitting, corner pinning, key
// zoom, copy, keep-on-top across every open window; handing a file over.
#include "desktop/clipboard.h"
#include "core/file_name.h"
#include "desktop/qt/qt_launcher.h"
#include "editor/form6.h"
#include "media/form3.h"
#include "media/form4.h"
#include "media/separate_geometry.h"
#include "movie/movie_player.h"
#include "picture/picture_loader.h"
#include "startup/secondary_windows.h"
#include "support/window_helpers.h"

#include <QDir>
#include <QMenu>

#include <algorithm>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const QSizeF kScreen(19200, 15360); // the test screen: 1280 x 1024 pixels of 15 twips

// The window's bottom-right corner, frame included, is 50 twips from the
// screen's right edge and 600 from its bottom (a pixel of rounding allowed).
bool pinned(const QWidget* w)
{
    const QRect frame = w->frameGeometry();
    return qAbs(frame.x() + frame.width() - (1280 - 50 / 15.0)) <= 1
        && qAbs(frame.y() + frame.height() - (1024 - 600 / 15.0)) <= 1;
}

bool onTop(const QWidget* w) { return w->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }

// A small picture, a large one and an unreadable one, in the main window.
QString threePictures(const TestEnvironment& env)
{
    const QString dir = env.makeFolder("pictures");
    savePicture(dir + "/small.png", {320, 240}, Qt::red);
    savePicture(dir + "/large.png", {1000, 700}, Qt::blue);
    writeFile(dir + "/broken.jpg", "not a picture");
    return dir;
}

struct Pictures {
    TestEnvironment env;
    QString dir = threePictures(env);
    Viewer viewer{env.desktop(), dir};
    MainWindow& main = viewer.form;
    const Form1Controls& ui = viewer.ui;
    ~Pictures() { main.secondaryWindows().unload(); }
};
}

class SeparateWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void fittingAndCornerArithmetic()
    {
        // Picture and screen in twips; the screen's limits are 11520 x 9216.
        const struct { const char* what; double w, h, fitW, fitH; bool shrunk; } fits[] = {
            {"fits as it is", 9600, 7200, 9600, 7200, false},
            {"0.6 of the width is not below it", 11520, 100, 10368, 90, true},
            {"a hair below the limit is the limit in single precision", 11519.9999, 100, 10368, 90, true},
            {"narrow and tall, both shrink alike", 1000, 12000, 729, 8748, true},
        };
        for (const auto& row : fits) {
            const FittedPicture fit = fitpicture(row.w, row.h, kScreen.width(), kScreen.height());
            QVERIFY2(qAbs(fit.width - row.fitW) < 0.01 && qAbs(fit.height - row.fitH) < 0.01, row.what);
            QVERIFY2(fit.shrunk == row.shrunk, row.what);
        }
        // No screen to fit into: the shrinking stops when nothing shrinks any more.
        QVERIFY(fitpicture(100, 100, 0, 0).shrunk);
        QCOMPARE(pincorner({6000, 4500}, kScreen), QPointF(13150, 10260));
        QCOMPARE(pincorner({20000, 16000}, kScreen), QPointF(-850, -1240));
    }

    void pictureWindowsOpenFittedPinnedAndOnTop()
    {
        Pictures p;
        writeSetting("OnTop", "0");
        p.viewer.select("small.png");
        Form3* first = openWith<Form3>(p.main);
        Form3* second = openWith<Form3>(p.main);
        QVERIFY(first && second);
        for (Form3* w : {first, second}) {
            QCOMPARE(w->windowTitle(), QString("small.png"));
            QCOMPARE(w->StatusBar1->text(1), "  " + p.dir + "/small.png");
            QCOMPARE(w->StatusBar1->tooltip(1), QString("File"));
            QCOMPARE(w->StatusBar1->text(2), QString("  320 x 240"));
            QVERIFY(!w->Image1->stretch() && w->Image1->size() == QSize(320, 240));
            // 4800 + 100 twips wide, status bar + 3600 + 350 twips high.
            QCOMPARE(w->frameGeometry().size(), QSize(327, w->StatusBar1->height() + 263));
            QVERIFY(pinned(w));
        }
        // The user's own resizing keeps the corner.
        second->resize(500, 400);
        QVERIFY(pinned(second));

        // 1000 x 700 pixels need three passes to come below 0.6 of the screen.
        p.viewer.select("large.png");
        Form3* large = openWith<Form3>(p.main);
        QVERIFY(large->Image1->stretch() && pinned(large));
        QCOMPARE(large->Image1->size(), QSize(729, 510));

        // A picture that cannot be read still gets its window, large enough
        // to read its caption and the whole path.
        p.viewer.select("broken.jpg");
        Form3* empty = openWith<Form3>(p.main);
        QVERIFY(empty && !empty->Image1->hasPicture() && pinned(empty));
        QCOMPARE(empty->windowTitle(), QString("broken.jpg"));
        QCOMPARE(empty->StatusBar1->findChildren<QLabel*>().value(0)->text(), "  " + p.dir + "/broken.jpg");
        QVERIFY(empty->width() > empty->fontMetrics().horizontalAdvance("broken.jpg") * 2
                && empty->height() > empty->StatusBar1->height() * 3);

        // Keep-on-top reaches every open window, the animation window's too;
        // turned on in the settings, a window takes it up when it gets the focus.
        p.viewer.select("small.png");
        p.main.setFileKind(false, "*.*");
        const QList<QWidget*> windows{first, second, large, empty, openWith<Form4>(p.main)};
        p.main.secondaryWindows().switchOnTop(true);
        QVERIFY(std::all_of(windows.begin(), windows.end(), onTop));
        p.main.secondaryWindows().switchOnTop(false);
        QVERIFY(std::none_of(windows.begin(), windows.end(), onTop));
        writeSetting("OnTop", "1");
        first->activateWindow();
        QTRY_VERIFY(onTop(first));
    }

    void theWindowsGoWithTheMainWindow()
    {
        // Open or closed and not yet deleted, they use the main window's job
        // pool: they go with it, even when it was never closed.
        TestEnvironment env;
        const QString dir = threePictures(env);
        QPointer<Form3> open;
        QPointer<Form3> closed;
        QPointer<Form6> closedEditor;
        {
            Viewer v(env.desktop(), dir);
            v.select("small.png");
            open = openWith<Form3>(v.form);
            closed = openWith<Form3>(v.form);
            QVERIFY(open && closed && closed->close());
            closedEditor = Form6::instance(v.form.secondaryWindows());
            closedEditor->show();
            QVERIFY(closedEditor->close());
        }
        QVERIFY(!open && !closed && !closedEditor);
    }

    void keyZoomCompoundsAndCopyTakesThePictureAsLoaded()
    {
        Pictures p;
        p.viewer.select("small.png");
        Form3* w = openWith<Form3>(p.main);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w, Qt::Key_Plus, Qt::KeypadModifier);
        QVERIFY(qAbs(w->Image1->widthTwips() - 4800 * 1.157625) < 0.01);
        QVERIFY(qAbs(w->Image1->heightTwips() - 3600 * 1.157625) < 0.01);
        QVERIFY(w->Image1->stretch() && pinned(w));
        // The main keyboard's plus and any other key only re-fit the window,
        // with 300 twips for the title instead of 350.
        const double width = w->Image1->widthTwips();
        for (const auto key : {Qt::Key_Plus, Qt::Key_A}) {
            QTest::keyClick(w, key);
            QCOMPARE(w->Image1->widthTwips(), width);
            QCOMPARE(w->frameGeometry().height(),
                     qRound((w->StatusBar1->height() * 15 + w->Image1->heightTwips() + 300) / 15));
            QVERIFY(pinned(w));
        }
        QTest::keyClick(w, Qt::Key_Minus, Qt::KeypadModifier);
        QVERIFY(qAbs(w->Image1->widthTwips() - width * 0.95) < 0.01);

        // Only the right button pops up the menu; Copy takes the picture at
        // its loaded size, and from an empty window leaves the clipboard empty.
        QList<QMenu*> popped;
        w->popUp = [&](QMenu* menu) { popped.append(menu); };
        QTest::mousePress(w->Image1, Qt::LeftButton);
        QTest::mousePress(w->Image1, Qt::RightButton);
        QCOMPARE(popped.size(), 1);
        QCOMPARE(popped[0]->title() + popped[0]->actions().value(0)->text(), QString("&Edit&Copy"));
        popped[0]->actions()[0]->trigger();
        QCOMPARE(Clipboard::image().convertToFormat(QImage::Format_RGB32),
                 loadPicture(p.dir + "/small.png").convertToFormat(QImage::Format_RGB32));
        p.viewer.select("broken.jpg");
        Clipboard::setText("left over");
        openWith<Form3>(p.main)->mnucopy->trigger();
        QVERIFY(Clipboard::text().isEmpty() && Clipboard::image().isNull());
    }

    void animationWindowPlaysAtTheMainSpeed()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("clips");
        QVERIFY(makeClip(dir + "/clip.avi", "testsrc=size=160x120:rate=10", 3));
        Viewer v(env.desktop(), dir);
        v.form.setFileKind(false, "*.*");
        v.select("clip.avi");
        v.ui.Option2->click();
        // The window comes up once its player has the movie.
        v.ui.newwindow->trigger();
        QVERIFY(openWindows<Form4>().isEmpty() && v.form.cursor().shape() == Qt::WaitCursor);
        QTRY_COMPARE_WITH_TIMEOUT(openWindows<Form4>().size(), 1, 20000);
        Form4* w = openWindows<Form4>().first();
        QCOMPARE(w->AM1->fileName(), dir + "/clip.avi");
        QCOMPARE(w->AM1->speed(), 0.5);
        QTRY_VERIFY(w->AM1->positionMs() > 0);
        QCOMPARE(w->windowTitle(), QString("clip.avi"));
        QCOMPARE(w->StatusBar1->tooltip(1), QString("File"));
        // 2400 + 100 twips wide, status bar + 1800 + 350 twips high.
        QCOMPARE(w->frameGeometry().size(), QSize(167, w->StatusBar1->height() + 143));
        QVERIFY(pinned(w));
        v.form.close();
        QVERIFY(openWindows<Form4>().isEmpty());
    }

    void oleEditOpenHandsTheFileOver()
    {
        Pictures p;
        p.ui.oleeditopen->trigger();
        QVERIFY(p.env.launcher.opened.isEmpty());
        p.viewer.select("large.png");
        p.ui.oleeditopen->trigger();
        QCOMPARE(p.env.launcher.opened, QStringList{p.dir + "/large.png"});

        // The desktop's opener gets the name's bytes, even when they are not
        // valid UTF-8, and the hand-off's mark, and is neither waited for nor
        // left a zombie: it goes on only once the call has returned.
        QVERIFY(QDir().mkpath(p.env.configHome() + "/data/applications"));
        writeFile(p.env.configHome() + "/data/applications/other.desktop", "[Desktop Entry]\nExec=other %f\n");
        writeFile(p.env.configHome() + "/mimeapps.list", "[Default Applications]\nimage/png=other.desktop\n");
        const QString bin = p.env.makeFolder("bin");
        writeFile(bin + "/xdg-open", "#!/bin/sh\nfor i in $(seq 100); do [ -e \"$0.go\" ] && break; sleep 0.05; done\n"
                                     "[ -e \"$0.go\" ] && echo \"$PIXALTO_HANDED_OFF $1\" > \"$0.arg\"\n");
        QVERIFY(setMode(bin + "/xdg-open", 0755));
        const QByteArray odd = p.dir.toUtf8() + "/sm\xe9.png";
        QVERIFY(QFile::copy(p.dir + "/small.png", p.dir + "/odd.png"));
        QVERIFY(::rename((p.dir + "/odd.png").toUtf8().constData(), odd.constData()) == 0);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit() + ":" + path);
        QtLauncher().openWithDesktop(FileName::fromBytes(odd));
        qputenv("PATH", path);
        writeFile(bin + "/xdg-open.go");
        QTRY_COMPARE_WITH_TIMEOUT(fileBytes(bin + "/xdg-open.arg"), "1 " + odd + "\n", 10000);
        ::unlink(odd.constData());
        QTest::qWait(200);
        siginfo_t child{};
        QVERIFY(::waitid(P_ALL, 0, &child, WEXITED | WNOHANG | WNOWAIT) != 0 || child.si_pid == 0);
    }
};

QTEST_MAIN(SeparateWindowsTest)
#include "test_separate_windows.moc"
