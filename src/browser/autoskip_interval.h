#pragma once
#include <QLocale>
#include <QString>

// The number at the front of a text, as the interval check reads it: blanks
// before it are skipped, a sign, digits, a decimal point and an exponent are
// taken, and the rest is ignored. A text without a leading number gives 0.
// Throws PxError (overflow) for a number too large for a double.
double leadingNumber(const QString& text);

// The whole text as a number in the locale's format, blanks around it
// allowed. Throws PxError: type mismatch when the text is not a number,
// overflow when it is too large.
double strictNumber(const QString& text, const QLocale& locale);

// The Autoskip timer interval in milliseconds for the typed interval text.
// A leading number outside 2 to 60 seconds throws PxError with an empty
// description (nothing failed, the value is simply refused); a text that
// starts well but is not a number as a whole throws the conversion's failure.
int autoskipIntervalMs(const QString& text, const QLocale& locale = QLocale::system());
