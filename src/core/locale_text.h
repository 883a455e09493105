#pragma once
#include <QDateTime>
#include <QString>

// Numbers and times as the user's locale writes them.

// A byte count in the "#,#" form: digit groups with the locale's separator,
// and the empty text for 0.
QString groupedNumber(qint64 value);

// The general date form: short date, a blank and the long time (without a
// zone name); the time is left out when it is exactly midnight.
QString generalDate(const QDateTime& when);

// A double in its shortest form (up to 15 significant digits) with the
// locale's decimal separator and no digit groups.
QString shortestNumber(double value);
