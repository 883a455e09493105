#include "settings/tray_lock.h"

#include "settings/settings_store.h"

#include <QFileInfo>
#include <QLockFile>

QString trayLockPath() { return settingsFolder() + QStringLiteral("/PXTray.lock"); }

bool trayCompanionRuns()
{
    const QString path = trayLockPath();
    if (!QFileInfo::exists(path))
        return false;
    // Taking the lock for a moment asks what the companion itself asks at its
    // start: whether the process that wrote the lock still runs.
    QLockFile lock(path);
    lock.setStaleLockTime(0);
    return !lock.tryLock(0);
}
