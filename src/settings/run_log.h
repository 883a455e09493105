#pragma once
#include <QString>

// The account of one start-up, rewritten at every start.
namespace RunLog {
// Replaces the last start's file with one holding the header and an empty
// line. A line the file cannot take whole goes to standard error, and so do
// the lines after it; when even the header cannot be written, the old file
// stays as it was and every line goes there.
void open();
void line(const QString& text);
void okLine(const QString& label);
void close();
}
