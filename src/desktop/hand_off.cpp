#include "desktop/hand_off.h"

#include "core/failure.h"
#include "desktop/key_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace {
QString canonical(const QString& program) { return QFileInfo(program).canonicalFilePath(); }

bool runsThisProgram(const QString& entry)
{
    if (QFileInfo(entry).fileName() == QLatin1String(PIXALTO_APP_ID ".desktop"))
        return true;
    const QString exec = KeyFile(entry).value(QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
    const QString program = exec.startsWith(QLatin1Char('"')) ? exec.section(QLatin1Char('"'), 1, 1)
                                                              : exec.section(QLatin1Char(' '), 0, 0);
    const QString found = QStandardPaths::findExecutable(program);
    return !found.isEmpty() && canonical(found) == canonical(QCoreApplication::applicationFilePath());
}
}

QString HandOff::application(const XdgFolders& folders, const QString& mimeType)
{
    const QString entry = defaultApplication(folders, mimeType);
    if (entry.isEmpty() || runsThisProgram(entry))
        Errors::raise(Errors::noAssociatedApplication());
    return entry;
}

QString HandOff::application(const QString& path)
{
    if (qEnvironmentVariableIsSet(marker))
        Errors::raise(Errors::noAssociatedApplication());
    return application(XdgFolders::fromEnvironment(), QMimeDatabase().mimeTypeForFile(path).name());
}
