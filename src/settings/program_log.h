#pragma once
#include <QString>

// The growing, time-stamped log of failures, appended to by every run. Each
// record is flushed as it is written. A record written while the log is not
// open (before start-up opened it or after shut-down closed it) is still
// appended, so nothing is lost.
namespace ProgramLog {
void open();
void record(const QString& message);      // quoted, time-stamped
void plainRecord(const QString& message); // time-stamped, no quotes
void emptyRecord();
void close();
}
