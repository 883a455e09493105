#pragma once
#include <QString>

// The account of one start-up, rewritten at every start.
namespace RunLog {
// Deletes the old file, creates it anew with the header and an empty line.
void open();
void line(const QString& text);
void okLine(const QString& label);
void close();
}
