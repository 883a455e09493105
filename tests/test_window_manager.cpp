// What only a real window manager shows: frames that arrive some time after a
// window is shown, and windows mapped that should never be. The suite runs
// on an Xvfb display of its own with openbox.
#include "editor/form6.h"
#include "support/virtual_display.h"
#include "support/window_helpers.h"

#include <QApplication>
#include <QWindow>

namespace {
VirtualDisplay* display = nullptr;

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

    void failedInfoListMapsNoEditor()
    {
        TestEnvironment env;
        const QString empty = env.makeFolder("empty");
        const QString unreadable = env.makeFolder("unreadable");
        writeFile(unreadable + "/broken.jpg", "not a picture");
        ExposedEditors editors;
        for (const QString& dir : {empty, unreadable}) {
            Viewer v(dir, "*.jpg");
            v.form.setFileKind(true, "*.jpg");
            v.form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&v.form));
            env.dialogs.messageAnswers = {MsgResult::Yes};
            env.dialogs.messages.clear();
            v.form.mnuinfolist->trigger();
            QVERIFY(!env.dialogs.messages.isEmpty()
                    && env.dialogs.messages.last().title.startsWith("File list creation ERROR"));
            QVERIFY(windowManagerCaughtUp());
            QCOMPARE(editors.count, 0);
        }
        Form6::unload();
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
