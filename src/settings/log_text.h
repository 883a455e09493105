#pragma once
#include <QDateTime>
#include <QString>

// How the two logs lay out their lines.
namespace LogText {
// Label, dots up to column 53, then " OK": 56 characters for labels of up to
// 50 characters.
QString okLine(const QString& label);
// "<" + date + ", " + time + "> " + message, date and time in the locale's
// short date and long time forms.
QString framed(const QDateTime& when, const QString& message);
QString quoted(const QString& text);
inline const char* lineEnd() { return "\r\n"; }
}
