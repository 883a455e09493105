#include "media/minsec.h"

QString minsec(qint32 milliseconds)
{
    const qint64 ms = milliseconds < 0 ? 0 : milliseconds;
    qint64 minutes = ms / 60000;
    // The fraction of a minute cut to four decimals is (ms mod 60000) / 6 ten
    // thousandths; integers keep the cut exact where doubles would land on
    // 0.0249... instead of 0.025.
    const qint64 tenThousandths = (ms % 60000) / 6;
    // seconds = tenThousandths * 60 / 10000 = tenThousandths * 3 / 500
    const qint64 scaled = tenThousandths * 3;
    qint64 seconds = scaled / 500;
    const qint64 rest = scaled % 500;
    if (rest > 250 || (rest == 250 && seconds % 2 == 1))
        ++seconds;
    if (seconds == 60) {
        ++minutes;
        seconds = 0;
    }
    return QStringLiteral("%1:%2  ").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0'));
}
