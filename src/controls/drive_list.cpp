#include "controls/drive_list.h"

#include "controls/dir_list.h"
#include "core/failure.h"
#include "core/file_name.h"
#include "core/volumes.h"

#include <QDir>
#include <cerrno>
#include <unistd.h>

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    addItems(mountedDrives());
    current = QStringLiteral("/");
    setCurrentIndex(findText(current));
    connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::choose(int index)
{
    try {
        setDrive(itemText(index));
    } catch (const PxError&) {
        // The drive list itself stays on the drive it showed.
        setCurrentIndex(findText(current));
        emit changed();
    }
}

QString DriveList::driveHolding(const QString& path) const
{
    if (path.isEmpty())
        return {};
    QStringList drives;
    for (int i = 0; i < count(); ++i)
        drives.append(itemText(i));
    return driveOf(QDir::cleanPath(path), drives);
}

void DriveList::setDrive(const QString& path)
{
    const QString drive = driveHolding(path);
    if (drive.isEmpty())
        Errors::raise(Errors::invalidPath());
    if (::access(FileName::toBytes(drive).constData(), R_OK | X_OK) != 0)
        Errors::throwErrno(errno);
    setCurrentIndex(findText(drive));
    if (drive != current) {
        current = drive;
        emit changed();
    }
}

QString DriveList::currentDirectory(const QString& d) const { return lastFolder.value(d, d); }

void DriveList::followDirectory(const QString& folder)
{
    const QString d = driveHolding(folder);
    if (d.isEmpty())
        return;
    lastFolder.insert(d, folder);
    // Only shown: the directory list is already there.
    current = d;
    setCurrentIndex(findText(d));
}

void openChosenDrive(DriveList& drives, DirList& folders)
{
    try {
        folders.setPath(drives.currentDirectory(drives.drive()));
    } catch (const PxError&) {
        ignoreFailure([&] { drives.setDrive(folders.path()); });
    }
}
