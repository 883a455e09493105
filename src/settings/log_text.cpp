#include "settings/log_text.h"

#include <QLocale>

namespace LogText {

QString okLine(const QString& label)
{
    return label + QString(qMax(0, 53 - int(label.size())), QLatin1Char('.')) + QStringLiteral(" OK");
}

QString framed(const QDateTime& when, const QString& message)
{
    const QLocale locale = QLocale::system();
    return QStringLiteral("<") + locale.toString(when.date(), QLocale::ShortFormat)
         + QStringLiteral(", ") + locale.toString(when.time(), QLocale::LongFormat)
         + QStringLiteral("> ") + message;
}

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

}
