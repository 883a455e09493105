#include "settings/run_log.h"

#include "core/failure.h"
#include "core/file_system.h"
#include "settings/log_append.h"
#include "settings/log_files.h"
#include "settings/log_text.h"

#include <QFile>
#include <QStringList>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
QByteArray lineBytes(const QString& text) { return text.toUtf8() + LogText::lineEnd(); }
}

RunLog::RunLog()
{
    const QStringList head{QStringLiteral("***Orvenko Works, Pixalto Run Logfile***"), QString()};
    const QString path = runLogPath();
    // The last start's log is replaced only once the new head is written
    // whole, so a full disk leaves it as it was.
    try {
        FileSystem::writeFile(path, lineBytes(head[0]) + lineBytes(head[1]));
        file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    } catch (const PxError& error) {
        std::fprintf(stderr, "Pixalto: cannot write the run log %s (%s)\n", qPrintable(path),
                     qPrintable(error.failure.description));
    }
    target = file >= 0 ? Target::File : Target::StandardError;
    if (target == Target::StandardError)
        for (const QString& text : head)
            LogAppend::toStandardError("PXRunLog", text);
}

void RunLog::line(const QString& text)
{
    if (target == Target::File) {
        if (LogAppend::whole(file, lineBytes(text)))
            return;
        target = Target::StandardError;
    }
    if (target == Target::StandardError)
        LogAppend::toStandardError("PXRunLog", text);
}

void RunLog::okLine(const QString& label) { line(LogText::okLine(label)); }

void RunLog::close()
{
    if (file >= 0)
        ::close(file);
    file = -1;
    target = Target::None;
}
