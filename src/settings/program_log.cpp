#include "settings/program_log.h"

#include "settings/log_append.h"
#include "settings/log_files.h"
#include "settings/log_text.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
int openLog()
{
    return ::open(QFile::encodeName(programLogPath()).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
}
}

void ProgramLog::append(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + LogText::lineEnd();
    if (file >= 0) {
        if (LogAppend::whole(file, bytes))
            return;
    } else if (const int fd = openLog(); fd >= 0) {
        const bool written = LogAppend::whole(fd, bytes);
        ::close(fd);
        if (written)
            return;
    }
    LogAppend::toStandardError("PXLog", line);
}

void ProgramLog::open()
{
    close();
    file = openLog();
    if (file < 0)
        std::fprintf(stderr, "Pixalto: cannot open the program log %s\n",
                     programLogPath().toLocal8Bit().constData());
}

void ProgramLog::record(const QString& message)
{
    append(LogText::quoted(LogText::framed(QDateTime::currentDateTime(), message)));
}

void ProgramLog::plainRecord(const QString& message)
{
    append(LogText::framed(QDateTime::currentDateTime(), message));
}

void ProgramLog::emptyRecord() { append(QString()); }

void ProgramLog::close()
{
    if (file >= 0)
        ::close(file);
    file = -1;
}
