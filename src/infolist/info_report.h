#pragma once
#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>

// The info list report: an inventory of a folder's files with their sizes,
// change times and, when asked for, their picture sizes. Lines end in a
// single line feed.

struct InfoEntry {
    QString name;     // bare file name
    qint64 length = 0;
    QDateTime changed;
    QSize pixels;     // used only in the picture-size variant
};

// "Info for <folder>  (<pattern>)" and an empty line.
QString infoHeader(const QString& folder, const QString& pattern);
// One entry line, with or without the picture size.
QString infoLine(const InfoEntry& entry, bool withSizes);
// The empty line, "Total <count> File(s) (<bytes> Bytes)" and three line feeds.
QString infoTotals(int count, qint64 totalBytes);
// The whole report of a folder whose list held these entries.
QString infoReport(const QString& folder, const QString& pattern, const QList<InfoEntry>& entries,
                   bool withSizes);
