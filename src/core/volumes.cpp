#include "core/volumes.h"

#include <QStorageInfo>
#include <algorithm>

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
