#pragma once
#include <QString>

// The growing, time-stamped log of failures, appended to by every run. The
// main window holds it open from start-up to shut-down; each record is
// flushed as it is written. A record written while it is not open (before
// start-up, after shut-down, or by a part that has no main window) is still
// appended, so nothing is lost.
class ProgramLog {
public:
    ProgramLog() = default;
    ~ProgramLog() { close(); }
    ProgramLog(const ProgramLog&) = delete;
    ProgramLog& operator=(const ProgramLog&) = delete;

    void open();
    void record(const QString& message);      // quoted, time-stamped
    void plainRecord(const QString& message); // time-stamped, no quotes
    void emptyRecord();
    void close();

private:
    void append(const QString& line);

    int file = -1;
};
