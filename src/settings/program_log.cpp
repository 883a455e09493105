#include "settings/program_log.h"

#include "settings/log_files.h"
#include "settings/log_text.h"

#include <QDateTime>
#include <QFile>
#include <cstdio>

namespace {
QFile& file()
{
    static QFile f;
    return f;
}

void append(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + LogText::lineEnd();
    if (file().isOpen()) {
        if (file().write(bytes) == bytes.size() && file().flush())
            return;
    } else {
        QFile once(programLogPath());
        if (once.open(QIODevice::WriteOnly | QIODevice::Append) && once.write(bytes) == bytes.size())
            return;
    }
    // The log cannot be written: keep the record visible rather than lose it.
    std::fprintf(stderr, "PXLog: %s\n", line.toLocal8Bit().constData());
}
}

namespace ProgramLog {

void open()
{
    close();
    file().setFileName(programLogPath());
    if (!file().open(QIODevice::WriteOnly | QIODevice::Append))
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
    if (file().isOpen())
        file().close();
}

}
