#include "core/program_info.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString& folderOverride()
{
    static QString value;
    return value;
}
}

namespace ProgramInfo {

QString folder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();
    return QCoreApplication::applicationDirPath();
}

QString appPath() { return folder() + QLatin1Char('/'); }

QString exeName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
         + QStringLiteral(".exe");
}

QString version() { return QStringLiteral(PIXALTO_VERSION); }
QString majorVersion() { return version().section(QLatin1Char('.'), 0, 0); }

QString besideProgram(const QString& name) { return QCoreApplication::applicationDirPath() + QLatin1Char('/') + name; }

QString helpFile() { return folder() + QStringLiteral("/pxhelp.hlp"); }

void setFolder(const QString& f) { folderOverride() = f; }

}
