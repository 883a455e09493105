#include "core/locale_text.h"

#include <QLocale>

QString groupedNumber(qint64 value)
{
    return value == 0 ? QString() : QLocale::system().toString(value);
}

QString generalDate(const QDateTime& when)
{
    const QLocale locale = QLocale::system();
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(when.time(), QLocale::LongFormat);
}
