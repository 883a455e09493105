#include "doubles/recording_desktop.h"

#include "core/failure.h"

#include <QFileInfo>
#include <cerrno>

void RecordingLauncher::startProgram(const QString& program, const QStringList&, bool)
{
    QFileInfo info(program);
    if (!info.exists())
        Errors::throwErrno(ENOENT);
    if (!info.isExecutable())
        Errors::throwErrno(EACCES);
    started.append(program);
}
