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
int& heldFile()
{
    static int fd = -1;
    return fd;
}

int openLog()
{
    return ::open(QFile::encodeName(programLogPath()).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
}

void append(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + LogText::lineEnd();
    if (heldFile() >= 0) {
        if (LogAppend::whole(heldFile(), bytes))
            return;
    } else if (const int fd = openLog(); fd >= 0) {
        const bool written = LogAppend::whole(fd, bytes);
        ::close(fd);
        if (written)
            return;
    }
    LogAppend::toStandardError("PXLog", line);
}
}

namespace ProgramLog {

void open()
{
    close();
    heldFile() = openLog();
    if (heldFile() < 0)
        std::fprintf(stderr, "Pixalto: cannot open the program log %s\n",
                     programLogPath().toLocal8Bit().constData());
}

void record(const QString& message)
{
    append(LogText::quoted(LogText::framed(QDateTime::currentDateTime(), message)));
}

void plainRecord(const QString& message)
{
    append(LogText::framed(QDateTime::currentDateTime(), message));
}

void emptyRecord() { append(QString()); }

void close()
{
    if (heldFile() >= 0)
        ::close(heldFile());
    heldFile() = -1;
}

}
