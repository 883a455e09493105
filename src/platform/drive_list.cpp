#include "platform/drive_list.h"

#include "platform/failure.h"

#include <QDir>
#include <QStorageInfo>
#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {
bool isPseudo(const QStorageInfo& volume)
{
    static const QList<QByteArray> pseudoTypes = {
        "proc", "sysfs", "devpts", "devtmpfs", "cgroup", "cgroup2", "securityfs", "pstore",
        "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs", "fusectl", "bpf", "autofs",
        "binfmt_misc", "nsfs", "rpc_pipefs", "efivarfs", "ramfs", "squashfs"};
    const QString root = volume.rootPath();
    for (const char* system : {"/proc", "/sys", "/dev", "/run", "/boot/efi"})
        if (root == QLatin1String(system) || root.startsWith(QLatin1String(system) + QLatin1Char('/')))
            return true;
    return pseudoTypes.contains(volume.fileSystemType());
}
}

QStringList mountedDrives()
{
    QStringList drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && !isPseudo(volume) && !drives.contains(volume.rootPath()))
            drives.append(volume.rootPath());
    if (!drives.contains(QStringLiteral("/")))
        drives.append(QStringLiteral("/"));
    std::sort(drives.begin(), drives.end());
    return drives;
}

QString driveOf(const QString& path, const QStringList& drives)
{
    QString best;
    for (const QString& d : drives) {
        const bool holds = path == d || d == QLatin1String("/")
                        || path.startsWith(d + QLatin1Char('/'));
        if (holds && d.size() > best.size())
            best = d;
    }
    return best;
}

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

void DriveList::setDrive(const QString& path)
{
    QStringList drives;
    for (int i = 0; i < count(); ++i)
        drives.append(itemText(i));
    const QString cleaned = path.isEmpty() ? QString() : QDir::cleanPath(path);
    const QString drive = cleaned.isEmpty() ? QString() : driveOf(cleaned, drives);
    if (drive.isEmpty())
        Errors::raise(Errors::invalidPath());
    if (::access(QFile::encodeName(drive).constData(), R_OK | X_OK) != 0)
        Errors::throwErrno(errno);
    setCurrentIndex(findText(drive));
    if (drive != current) {
        current = drive;
        emit changed();
    }
}

QString DriveList::currentDirectory(const QString& d) const { return lastFolder.value(d, d); }

void DriveList::rememberDirectory(const QString& folder)
{
    QStringList drives;
    for (int i = 0; i < count(); ++i)
        drives.append(itemText(i));
    const QString d = driveOf(QDir::cleanPath(folder), drives);
    if (!d.isEmpty())
        lastFolder.insert(d, folder);
}
