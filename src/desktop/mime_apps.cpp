#include "desktop/mime_apps.h"

#include "desktop/key_file.h"

#include <QDir>
#include <QFileInfo>

namespace {
QStringList folderList(const char* variable, const QString& fallback)
{
    QStringList folders;
    for (const QString& folder : qEnvironmentVariable(variable, fallback).split(QLatin1Char(':'), Qt::SkipEmptyParts))
        // Relative paths are invalid in these variables and ignored.
        if (QDir::isAbsolutePath(folder))
            folders.append(folder);
    return folders.isEmpty() ? fallback.split(QLatin1Char(':')) : folders;
}

const QString kDefaults = QStringLiteral("Default Applications");
const QString kAdded = QStringLiteral("Added Associations");
const QString kRemoved = QStringLiteral("Removed Associations");

// The folders whose mimeapps.list files count, in order.
QStringList mimeappsFolders(const XdgFolders& folders)
{
    QStringList result = folders.configDirs;
    for (const QString& data : folders.dataDirs)
        result.append(data + QStringLiteral("/applications"));
    return result;
}

// The installed desktop entry of id; empty when none is, or it is hidden
// (the way a user deletes an entry the system installed).
QString installedEntry(const XdgFolders& folders, const QString& id)
{
    for (const QString& data : folders.dataDirs) {
        const QString path = data + QStringLiteral("/applications/") + id;
        if (QFileInfo(path).isFile())
            return KeyFile(path).value(QStringLiteral("Desktop Entry"), QStringLiteral("Hidden"))
                           == QLatin1String("true")
                     ? QString()
                     : path;
    }
    return {};
}

QString firstInstalled(const XdgFolders& folders, const QStringList& ids, const QStringList& removed = {})
{
    for (const QString& id : ids) {
        if (removed.contains(id))
            continue;
        const QString entry = installedEntry(folders, id);
        if (!entry.isEmpty())
            return entry;
    }
    return {};
}
}

XdgFolders XdgFolders::fromEnvironment()
{
    const QString home = QDir::homePath();
    XdgFolders folders;
    folders.configDirs = folderList("XDG_CONFIG_HOME", home + QStringLiteral("/.config"))
                       + folderList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    folders.dataDirs = folderList("XDG_DATA_HOME", home + QStringLiteral("/.local/share"))
                     + folderList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString& desktop : qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        folders.desktops.append(desktop.toLower());
    return folders;
}

QString defaultApplication(const XdgFolders& folders, const QString& mimeType)
{
    const QStringList lists = mimeappsFolders(folders);
    for (const QString& folder : lists) {
        QStringList files;
        for (const QString& desktop : folders.desktops)
            files.append(folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list"));
        files.append(folder + QStringLiteral("/mimeapps.list"));
        for (const QString& file : files) {
            const QString entry = firstInstalled(folders, KeyFile(file).list(kDefaults, mimeType));
            if (!entry.isEmpty())
                return entry;
        }
    }
    // Only the plain mimeapps.list files add and remove associations; a
    // removal counts for the files after its own.
    QStringList removed;
    for (const QString& folder : lists) {
        const KeyFile file(folder + QStringLiteral("/mimeapps.list"));
        const QString entry = firstInstalled(folders, file.list(kAdded, mimeType), removed);
        if (!entry.isEmpty())
            return entry;
        removed += file.list(kRemoved, mimeType);
    }
    for (const QString& data : folders.dataDirs) {
        const KeyFile cache(data + QStringLiteral("/applications/mimeinfo.cache"));
        const QString entry = firstInstalled(folders, cache.list(QStringLiteral("MIME Cache"), mimeType), removed);
        if (!entry.isEmpty())
            return entry;
    }
    return {};
}
