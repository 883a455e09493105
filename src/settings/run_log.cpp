#include "settings/run_log.h"

#include "settings/log_files.h"
#include "settings/log_text.h"

#include <QFile>
#include <QtDebug>

namespace {
QFile& file()
{
    static QFile f;
    return f;
}
}

namespace RunLog {

void open()
{
    close();
    const QString path = runLogPath();
    QFile::remove(path);
    file().setFileName(path);
    if (!file().open(QIODevice::WriteOnly | QIODevice::Truncate))
        qWarning("Pixalto: cannot create the run log %s", qPrintable(path));
    line(QStringLiteral("***Orvenko Works, Pixalto Run Logfile***"));
    line(QString());
}

void line(const QString& text)
{
    if (!file().isOpen())
        return;
    file().write(text.toUtf8() + LogText::lineEnd());
    file().flush();
}

void okLine(const QString& label) { line(LogText::okLine(label)); }

void close()
{
    if (file().isOpen())
        file().close();
}

}
