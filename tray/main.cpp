// PXTray: the tray companion of the Pixalto viewer. While it runs, the
// setting "SystrayLoaded" reads "1", so the viewer does not start a second
// one; when it ends, by its menu or by a signal, the setting goes back to "0".

#include "quit_signals.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "settings/tray_lock.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLockFile>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

namespace {

// A small framed picture (sky, sun, hill), drawn rather than shipped so the
// companion is a single file.
QIcon makeIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal u = size / 16.0;
        const QRectF frame(0.5 * u, 1.5 * u, 15 * u, 13 * u);
        p.setPen(QPen(QColor(60, 60, 60), u));
        p.setBrush(QColor(120, 190, 255));
        p.drawRect(frame);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 220, 0));
        p.drawEllipse(QPointF(11 * u, 5.5 * u), 2 * u, 2 * u);
        p.setBrush(QColor(40, 160, 60));
        QPolygonF hill;
        hill << QPointF(1 * u, 14 * u) << QPointF(6 * u, 7 * u) << QPointF(10 * u, 12 * u)
             << QPointF(12 * u, 10 * u) << QPointF(15 * u, 14 * u);
        p.drawPolygon(hill);
        icon.addPixmap(pixmap);
    }
    return icon;
}

void startViewer(QSystemTrayIcon* tray)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString program = folder + QStringLiteral("/pixalto");
    if (!QProcess::startDetached(program, {}, folder) && tray)
        tray->showMessage(QStringLiteral("Pixalto"),
                          QStringLiteral("Pixalto could not be started from %1").arg(folder),
                          QSystemTrayIcon::Warning);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PXTray"));
    // Closing a menu or a balloon must not end the companion.
    QApplication::setQuitOnLastWindowClosed(false);

    // One companion per settings file: a second one would reset the setting
    // to "0" when it ends while the first still runs.
    QDir().mkpath(settingsFolder());
    QLockFile lock(trayLockPath());
    lock.setStaleLockTime(0); // only a dead owner makes the lock stale
    if (!lock.tryLock(0)) {
        if (lock.error() == QLockFile::LockFailedError) {
            std::fprintf(stderr, "PXTray: another companion is already running\n");
            return 0;
        }
        // A lock that cannot be made (a read-only folder) must not keep the
        // icon away; the setting write will fail the same way anyway.
        std::fprintf(stderr, "PXTray: cannot create %s\n", qPrintable(lock.fileName()));
    }

    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::quitRequested, &app, &QCoreApplication::quit);

    QMenu menu;
    QAction* start = menu.addAction(QStringLiteral("Start Pixalto"));
    menu.addSeparator();
    QAction* quit = menu.addAction(QStringLiteral("Quit"));

    QSystemTrayIcon tray(makeIcon());
    tray.setToolTip(QStringLiteral("Pixalto"));
    tray.setContextMenu(&menu);
    QObject::connect(start, &QAction::triggered, &tray, [&tray] { startViewer(&tray); });
    QObject::connect(quit, &QAction::triggered, &app, &QCoreApplication::quit);
    QObject::connect(&tray, &QSystemTrayIcon::activated, &tray,
                     [&tray](QSystemTrayIcon::ActivationReason reason) {
                         if (reason == QSystemTrayIcon::DoubleClick)
                             startViewer(&tray);
                     });

    // A desktop panel often comes up after the programs started with the
    // session; without a tray the companion keeps running and shows its icon
    // as soon as one appears.
    QTimer trayWatch;
    trayWatch.setInterval(3000);
    auto showWhenAvailable = [&tray, &trayWatch] {
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            tray.show();
            trayWatch.stop();
        }
    };
    QObject::connect(&trayWatch, &QTimer::timeout, &tray, showWhenAvailable);
    trayWatch.start();
    showWhenAvailable();

    writeSetting(Keys::SystrayLoaded, QStringLiteral("1"));
    const int result = app.exec();
    tray.hide();
    writeSetting(Keys::SystrayLoaded, QStringLiteral("0"));
    return result;
}
