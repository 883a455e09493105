#pragma once
#include "report/error_report.h"

#include <functional>

// How a file command reports a failing step: the standard error report,
// with or without the beep, and with the failure's own description or with
// the command's fixed text whatever the failure says.
struct CommandReport {
    enum class Record { Described, Fixed };
    ErrorTexts texts;
    Beep beep = Beep::Sound;
    Record record = Record::Described;
    Logging logging = Logging::Record;
};

// Runs the steps of a command; the first failing step ends it in the report.
void runReported(const Reporting& to, const CommandReport& report, const std::function<void()>& steps);

// The question asked before moving or deleting a file when the setting
// flagKey is "1": "Are you sure you want to <verb> the following file:".
// True when the command may go on.
bool confirmFileCommand(Dialogs& dialogs, const QString& flagKey, const QString& verb, const QString& title,
                        const QString& path);
