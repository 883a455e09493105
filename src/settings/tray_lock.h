#pragma once
#include <QString>

// The lock the tray companion holds while it runs, beside the settings file,
// so that one companion runs per settings file.
QString trayLockPath();
// Whether a companion holds the lock. A lock left by a companion that was
// killed does not count; one that cannot be checked does.
bool trayCompanionRuns();
