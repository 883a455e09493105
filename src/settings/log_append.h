#pragma once
#include <QByteArray>
#include <QString>

// How a record reaches a log file: whole or not at all.
namespace LogAppend {
// Appends bytes to the log open for appending as fd, in one piece between
// the copies of the program that share the file. What the disk cannot take
// whole is taken back, so no torn line is left; false then.
bool whole(int fd, const QByteArray& bytes);
// A line that a log cannot keep, on standard error rather than lost.
void toStandardError(const char* log, const QString& line);
}
