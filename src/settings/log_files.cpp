#include "settings/log_files.h"

#include "core/program_info.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

QString logFolder()
{
    const QString folder = ProgramInfo::folder();
    if (::access(QFile::encodeName(folder).constData(), W_OK) == 0)
        return folder;
    // The data folder of the organisation's application, whatever name the
    // running executable has (the tray companion and the tests log here too).
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                       + QStringLiteral("/Orvenko Soft/Pixalto");
    QDir().mkpath(data);
    return data;
}

QString runLogPath() { return logFolder() + QStringLiteral("/PXRunLog.txt"); }
QString programLogPath() { return logFolder() + QStringLiteral("/PXLog.txt"); }
