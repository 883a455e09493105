#pragma once
#include <QString>
#include <QStringList>

// The folders the desktop looks in for its associations of file types with
// applications, most important first.
struct XdgFolders {
    QStringList configDirs; // XDG_CONFIG_HOME, then XDG_CONFIG_DIRS
    QStringList dataDirs;   // XDG_DATA_HOME, then XDG_DATA_DIRS
    QStringList desktops;   // XDG_CURRENT_DESKTOP's names, in lower case
    // From the environment, with the freedesktop defaults for unset variables.
    static XdgFolders fromEnvironment();
};

// The desktop entry file of the application the desktop opens files of
// mimeType with, as xdg-open and GIO choose it: the first installed
// [Default Applications] entry of the mimeapps.list files (desktop-specific
// ones first in each folder), else the first [Added Associations] entry,
// else the first mimeinfo.cache entry, leaving out [Removed Associations].
// Empty when there is none.
QString defaultApplication(const XdgFolders& folders, const QString& mimeType);
