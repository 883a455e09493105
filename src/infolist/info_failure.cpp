#include "infolist/info_failure.h"

#include "report/error_report.h"

void reportInfoListFailure(const Reporting& to, const Failure& failure, int listCount)
{
    const QString stem = QStringLiteral("File list creation ERROR ");
    if (failure.description.isEmpty()) {
        reportError(to,
                    {stem, QStringLiteral("Unknown List creation ERROR"),
                     QStringLiteral("Unable to create file list. Please check that the path is valid.")},
                    failure);
    } else if (listCount == 0) {
        // The record and the title carry no number here: only the fallback
        // text does that.
        reportError(to,
                    {stem, QStringLiteral("File list creation ERROR"),
                     QStringLiteral("Unable to create file list. The selected directory does not contain any files.")},
                    Errors::undescribed());
    } else {
        reportError(to, {stem, QString(), QStringLiteral("Unable to create file list.")}, failure);
    }
}
