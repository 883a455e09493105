#include "core/locale_text.h"

#include <QLocale>
#include <QRegularExpression>

QString groupedNumber(qint64 value)
{
    return value == 0 ? QString() : QLocale::system().toString(value);
}

QString generalDate(const QDateTime& when)
{
    const QLocale locale = QLocale::system();
    // Each short date is a query to the system locale, and the files of a
    // folder mostly share their days: the last day's text is kept.
    thread_local QDate lastDay;
    thread_local QString lastDayText;
    if (when.date() != lastDay) {
        lastDayText = locale.toString(when.date(), QLocale::ShortFormat);
        lastDay = when.date();
    }
    const QString date = lastDayText;
    // Times count in whole seconds, as file times are shown.
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    // The long time without the zone name Qt's long form adds: a file's
    // change time is always shown in local time.
    static const QString timeFormat = [&] {
        QString format = locale.timeFormat(QLocale::LongFormat);
        return format.remove(QRegularExpression(QStringLiteral("\\s*t+"))).trimmed();
    }();
    return date + QLatin1Char(' ') + locale.toString(time, timeFormat);
}

QString shortestNumber(double value)
{
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}
