#include "browser/autoskip_interval.h"

#include "core/failure.h"

#include <climits>
#include <cmath>

namespace {
bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

double finiteOrOverflow(double value)
{
    if (!std::isfinite(value))
        Errors::raise(Errors::overflow());
    return value;
}
}

double leadingNumber(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')
                     || text[i] == QLatin1Char('\n') || text[i] == QLatin1Char('\r')))
        ++i;
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    qsizetype digits = 0;
    for (; i < n && isDigit(text[i]); ++i)
        ++digits;
    if (i < n && text[i] == QLatin1Char('.'))
        for (++i; i < n && isDigit(text[i]); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    // An exponent counts only when a digit follows it ("5e" is just 5).
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < n && isDigit(text[j])) {
            while (j < n && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    QString number = text.mid(start, i - start);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok && !std::isinf(value))
        return 0;
    return finiteOrOverflow(value);
}

double strictNumber(const QString& text, const QLocale& locale)
{
    bool ok = false;
    const double value = locale.toDouble(text.trimmed(), &ok);
    if (std::isinf(value))
        Errors::raise(Errors::overflow());
    if (!ok)
        Errors::raise(Errors::typeMismatch());
    return value;
}

int autoskipIntervalMs(const QString& text, const QLocale& locale)
{
    const double v = leadingNumber(text);
    if (v + 1 < 3 || v > 60)
        throw PxError(Failure{});
    const double ms = std::round(strictNumber(text, locale) * 1000);
    // The strict reading can differ from the leading number (a group
    // separator, say); the timer still needs a whole positive interval.
    if (!(ms >= 1 && ms <= INT_MAX))
        Errors::raise(Errors::overflow());
    return int(ms);
}
