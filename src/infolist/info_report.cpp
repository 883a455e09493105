#include "infolist/info_report.h"

#include "core/locale_text.h"

namespace {
const QString kGap = QStringLiteral("    ");
const QChar kLF = QLatin1Char('\n');
}

QString infoHeader(const QString& folder, const QString& pattern)
{
    return QStringLiteral("Info for ") + folder + QStringLiteral("  (") + pattern + QLatin1Char(')') + kLF + kLF;
}

QString infoLine(const InfoEntry& entry, bool withSizes)
{
    QString line = entry.name + kGap + groupedNumber(entry.length) + QStringLiteral(" bytes");
    if (withSizes)
        line += kGap + QString::number(entry.pixels.width()) + QStringLiteral(" x ")
              + QString::number(entry.pixels.height()) + QStringLiteral(" Pixels");
    return line + kGap + QLatin1Char('(') + generalDate(entry.changed) + QLatin1Char(')') + kLF;
}

QString infoTotals(int count, qint64 totalBytes)
{
    return kLF + QStringLiteral("Total ") + QString::number(count) + QStringLiteral(" File(s) (")
         + groupedNumber(totalBytes) + QStringLiteral(" Bytes)") + kLF + kLF + kLF;
}

QString infoReport(const QString& folder, const QString& pattern, const QList<InfoEntry>& entries,
                   bool withSizes)
{
    QString text = infoHeader(folder, pattern);
    qint64 total = 0;
    for (const InfoEntry& entry : entries) {
        text += infoLine(entry, withSizes);
        total += entry.length;
    }
    return text + infoTotals(int(entries.size()), total);
}
