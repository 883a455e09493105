// What only a real window manager shows: frames that arrive some time after a
// window is shown, and windows mapped that should never be. The suite runs
// on an Xvfb display of its own with openbox.
#include "browser/open_start_path.h"
#include "desktop/managed_frame.h"
#include "editor/form6.h"
#include "media/form3.h"
#include "startup/secondary_windows.h"
#include "support/virtual_display.h"
#include "support/window_helpers.h"

#include <QDebug>
#include <QProcess>
#include <QScopeGuard>
#include <QThread>
#include <QWindow>

namespace {
VirtualDisplay* display = nullptr;

// The window's frame size and its bottom-right corner, 50 twips from the
// screen's right edge and 600 from its bottom (1280 x 1024 pixels of 15).
QRect pinnedFrame(QSize outer)
{
    return {QPoint(qRound(1280 - 50 / 15.0) - outer.width(), 1024 - 40 - outer.height()), outer};
}

// Whether the window's frame ends where expected: the window manager may
// still carry out an older request after the frame was right once, so the
// frame counts when it is right again after the window manager has answered
// everything sent before.
bool framedAt(QWidget* window, QRect expected)
{
    for (int round = 0; round < 10; ++round) {
        if (!QTest::qWaitFor([&] { return frameOnScreen(window) == expected; }, 5000))
            return false;
        if (windowManagerCaughtUp() && frameOnScreen(window) == expected)
            return true;
    }
    return false;
}

QByteArray describeFrame(QWidget* window, QRect expected)
{
    QString text;
    QDebug(&text) << "frame" << frameOnScreen(window) << "expected" << expected;
    return text.toUtf8();
}

// Every window of the editor's class that was ever exposed on the screen.
struct ExposedEditors : QObject {
    ExposedEditors() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* window = qobject_cast<QWindow*>(watched); window && event->type() == QEvent::Expose
            && window->isExposed() && window->title() == QLatin1String("Text Editor"))
            ++count;
        return false;
    }
    int count = 0;
};
}

class WindowManagerTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!display->missing().isEmpty())
            QSKIP(qPrintable(display->missing()));
        QVERIFY2(display->failure().isEmpty(), qPrintable(display->failure()));
    }

    // Separate windows take their frame whenever the window manager frames
    // them, get it back when it is left where an old request put it, and
    // stay where the user drags them.
    void separateWindowsTakeTheirFrameAndStayWhereDragged()
    {
        TestEnvironment env;
        const QString dir = env.makeFolder("pictures");
        savePicture(dir + "/picture.png", {400, 300}, Qt::darkGreen);
        Viewer v(env.desktop(), dir);
        v.form.show();
        // The separate windows take the frame the main window was given.
        QVERIFY(QTest::qWaitForWindowExposed(&v.form));
        QTRY_VERIFY(frameOnScreen(&v.form) != v.form.geometry());
        v.select("picture.png");
        auto cleanUp = qScopeGuard([&v] { v.form.secondaryWindows().unload(); });
        Form3* w = nullptr;
        for (int opening = 1; opening <= 15; ++opening) {
            w = openWith<Form3>(v.form);
            QVERIFY(w);
            QVERIFY(windowManagerCaughtUp());
            // 6000 + 100 twips wide, status bar + 4500 + 350 twips high.
            const int bar = w->StatusBar1->height();
            const QRect expected = pinnedFrame({407, bar + 323});
            QVERIFY2(framedAt(w, expected), describeFrame(w, expected).constData());
        }
        // Quick zooms, none waiting for the window manager: the last counts.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(w, Qt::Key_Plus, Qt::KeypadModifier);
        QVERIFY(windowManagerCaughtUp());
        const int bar = w->StatusBar1->height();
        const QRect zoomed = pinnedFrame(
            {qRound((6000 * 1.157625 + 100) / 15), bar + qRound((4500 * 1.157625 + 300) / 15)});
        QVERIFY2(framedAt(w, zoomed), describeFrame(w, zoomed).constData());

        // The client area where the frame should be: the frame ends up off
        // by what it adds, as when a request made before the window was
        // framed is carried out late.
        const std::optional<ManagedGeometry> before = managedGeometry(w);
        QVERIFY(before);
        askClientArea(w, QRect(zoomed.topLeft(), before->client.size()));
        QVERIFY2(framedAt(w, zoomed), describeFrame(w, zoomed).constData());

        // Dragged by its title bar, well away from anything asked, some time
        // after it came up (longer than the window manager is given to settle).
        QTest::qWait(1000);
        const QPoint grip(zoomed.center().x(), zoomed.top() + (before->client.top() - zoomed.top()) / 2);
        QProcess drag;
        drag.start("xdotool", {"mousemove", QString::number(grip.x()), QString::number(grip.y()), "mousedown", "1",
                               "sleep", "0.2", "mousemove", QString::number(grip.x() - 100),
                               QString::number(grip.y() - 100), "sleep", "0.2", "mousemove",
                               QString::number(grip.x() - 300), QString::number(grip.y() - 300), "sleep", "0.2",
                               "mouseup", "1"});
        QVERIFY2(drag.waitForFinished() && drag.exitCode() == 0, drag.readAllStandardError().constData());
        const QRect dropped = zoomed.translated(-300, -300);
        QVERIFY2(framedAt(w, dropped), describeFrame(w, dropped).constData());
        // The frame is checked once the window manager has been quiet.
        QTest::qWait(1000);
        QCOMPARE(frameOnScreen(w), dropped);
    }

    // A picture named at start is fitted to the maximised window, which the
    // window manager makes some time after the window is shown.
    void startPictureFitsTheMaximisedWindow()
    {
        TestEnvironment env;
        for (const auto& [key, value] : {std::pair{"User", "Ann"}, {"SpcSetting", "NoSplash"}, {"AutoZoom", "1"}})
            writeSetting(key, value);
        const QString dir = env.makeFolder("start");
        // 1:1 in the maximised window; shrunk in the window's design size.
        savePicture(dir + "/wide.png", {900, 600}, Qt::darkGreen);
        // A file written this instant might still change unseen: its decode
        // would not be kept.
        QThread::msleep(150);
        MainWindow form(env.desktop());
        const Form1Controls ui(form);
        // As the program starts: the picture decodes while the start-up runs.
        form.preloadStartPicture(dir + "/wide.png");
        QVERIFY(form.Form_Load());
        form.showMaximized();
        openStartPathOnceShown(form, dir + "/wide.png");
        QTRY_COMPARE(ui.Label5->text(), QString("900 x 600"));
        QTRY_COMPARE(ui.StatusBar1->text(4), QString("Auto"));
        QVERIFY2(form.width() > 1200, qPrintable(QString::number(form.width())));
        QCOMPARE(ui.Image1->size(), QSize(900, 600));
    }

    void failedInfoListMapsNoEditor()
    {
        TestEnvironment env;
        const QString empty = env.makeFolder("empty");
        const QString unreadable = env.makeFolder("unreadable");
        writeFile(unreadable + "/broken.jpg", "not a picture");
        ExposedEditors editors;
        for (const QString& dir : {empty, unreadable}) {
            Viewer v(env.desktop(), dir, "*.jpg");
            v.form.setFileKind(true, "*.jpg");
            v.form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&v.form));
            env.dialogs.messageAnswers = {MsgResult::Yes};
            env.dialogs.messages.clear();
            v.runInfoList();
            QVERIFY(!env.dialogs.messages.isEmpty()
                    && env.dialogs.messages.last().title.startsWith("File list creation ERROR"));
            QVERIFY(windowManagerCaughtUp());
            QCOMPARE(editors.count, 0);
        }
    }
};

int main(int argc, char** argv)
{
    VirtualDisplay desktop;
    display = &desktop;
    QApplication app(argc, argv);
    WindowManagerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_window_manager.moc"
