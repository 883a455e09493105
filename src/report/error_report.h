#pragma once
#include "core/failure.h"

#include <QString>

class Dialogs;
class ProgramLog;

// The standard error report: a beep, a program-log record and a critical
// message box. With a described failure the record and the box title are
// stem + number + " (" + description + ")"; without one, the fallback text.
struct ErrorTexts {
    QString stem;     // e.g. "Picture load ERROR "
    QString fallback; // e.g. "Unknown Picture load ERROR"
    QString message;  // the box's text
};

enum class Beep { Sound, Silent };
// The secondary windows report some failures in their box only.
enum class Logging { Record, BoxOnly };

// Where the report goes: the beep and the box to the person, the record to
// the program log.
struct Reporting {
    Dialogs& dialogs;
    ProgramLog& log;
};

void reportError(const Reporting& to, const ErrorTexts& texts, const Failure& failure, Beep beep = Beep::Sound,
                 Logging logging = Logging::Record);
// The title and record text the report uses for this failure.
QString errorTitle(const ErrorTexts& texts, const Failure& failure);
