#pragma once
#include <QString>
#include <QStringList>

// The mount points of the real volumes, pseudo file systems left out.
QStringList mountedDrives();
// The mount point that holds path (longest prefix); empty when none.
QString driveOf(const QString& path, const QStringList& drives);
