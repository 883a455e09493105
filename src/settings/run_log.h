#pragma once
#include <QString>

// The account of one start-up, rewritten at every start: made when the
// start-up begins and closed when it ends.
class RunLog {
public:
    // Replaces the last start's file with one holding the header and an empty
    // line. A line the file cannot take whole goes to standard error, and so
    // do the lines after it; when even the header cannot be written, the old
    // file stays as it was and every line goes there.
    RunLog();
    ~RunLog() { close(); }
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    void line(const QString& text);
    void okLine(const QString& label);
    // The lines after this go nowhere.
    void close();

private:
    // Where the lines go: nowhere once closed, the file, or standard error
    // once the file could not take one (the lines after it follow, so that
    // the file never shows a later step without an earlier one).
    enum class Target { None, File, StandardError };
    Target target = Target::None;
    int file = -1;
};
