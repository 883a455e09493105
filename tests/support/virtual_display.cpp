#include "support/virtual_display.h"

#include "desktop/managed_frame.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <QWindow>

#include <csignal>
#include <sys/prctl.h>

namespace {
constexpr int kStartWaitMs = 20000;

// A test that crashes or is killed never reaches the destructor: the server
// and the window manager end with it rather than outlive it.
void endWithThisProcess(QProcess& process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

void stop(QProcess& process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}
}

VirtualDisplay::VirtualDisplay()
{
    for (const QString program : {"Xvfb", "openbox"})
        if (QStandardPaths::findExecutable(program).isEmpty())
            absent += program + " is not installed (scripts/install-deps.sh). ";
    if (absent.isEmpty() && !start()) {
        stop(manager);
        stop(server);
    }
}

VirtualDisplay::~VirtualDisplay()
{
    stop(manager);
    stop(server);
}

bool VirtualDisplay::start()
{
    endWithThisProcess(server);
    endWithThisProcess(manager);
    // The server picks a free display and names it on standard output.
    server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp"});
    QByteArray number;
    const QDeadlineTimer deadline(kStartWaitMs);
    while (!number.endsWith('\n')) {
        if (!server.waitForReadyRead(int(deadline.remainingTime()))) {
            failed = QStringLiteral("Xvfb did not start: ") + QString::fromLocal8Bit(server.readAllStandardError());
            return false;
        }
        number += server.readAllStandardOutput();
    }
    const QByteArray display = ":" + number.trimmed();

    // openbox runs its start-up command once it manages the screen.
    const QString ready = QDir::temp().filePath(
        QString("pixalto-openbox-%1-%2").arg(display.mid(1)).arg(QCoreApplication::applicationPid()));
    QFile::remove(ready);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display);
    manager.setProcessEnvironment(environment);
    manager.start("openbox", {"--sm-disable", "--startup", "touch " + ready});
    while (!QFile::exists(ready)) {
        if (deadline.hasExpired() || manager.state() == QProcess::NotRunning) {
            failed = QStringLiteral("openbox did not start: ") + QString::fromLocal8Bit(manager.readAllStandardError());
            return false;
        }
        QThread::msleep(20);
    }
    QFile::remove(ready);
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

namespace {
// The size the window manager last reported for the probe window.
class ReportedSize : public QObject {
public:
    QSize last;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            last = static_cast<QResizeEvent*>(event)->size();
        return false;
    }
};
}

bool windowManagerCaughtUp()
{
    static QWidget* probe = nullptr;
    static ReportedSize* reported = nullptr;
    if (!probe) {
        probe = new QWidget(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
        probe->setAttribute(Qt::WA_ShowWithoutActivating);
        probe->setGeometry(0, 0, 40, 40);
        probe->show();
        reported = new ReportedSize;
        probe->windowHandle()->installEventFilter(reported);
        if (!QTest::qWaitForWindowExposed(probe))
            return false;
    }
    const QSize next(probe->width() == 40 ? 41 : 40, 40);
    probe->resize(next);
    return QTest::qWaitFor([next] { return reported->last == next; }, 10000);
}

QRect frameOnScreen(QWidget* window) { return managedFrame(window).value_or(QRect()); }
