#pragma once
#include <QString>
#include <exception>
#include <functional>

// A failure carries a number and a description. Operating-system failures use
// errno and its message; the program's own failures come from the catalogue.
struct Failure {
    int number = 0;
    QString description;
};

// Thrown by operations that fail; handlers catch it where they have a
// failure path and ignore it where they go on step by step.
class PxError : public std::exception {
public:
    explicit PxError(Failure f) : failure(std::move(f)) {}
    const char* what() const noexcept override { return "Pixalto failure"; }
    Failure failure;
};

namespace Errors {
// The program's own failures.
Failure invalidPicture(const QString& detail = {});
Failure typeMismatch();
Failure overflow();
Failure invalidPattern();
Failure invalidPropertyValue();
Failure invalidPath();
Failure badFileName();
Failure sameFile();
// A file the program's own rules keep from being replaced (why: "hidden",
// "read-only", "a system file").
Failure protectedFile(const QString& why);
// A file that is a device, a pipe or a folder where a plain file is read.
Failure notPlainFile();
// A file larger than what reads it can hold (limit in bytes).
Failure fileTooLarge(qint64 limit);
Failure movieLoad(const QString& detail);
Failure noDisplayTool();
Failure noAssociatedApplication();
Failure clipboardBusy();
Failure dialogCancelled();
Failure movieSpeed();
// A failure without a description: the report's fallback text stands for it.
Failure undescribed();
// An operating-system failure from an errno value.
Failure fromErrno(int err);
[[noreturn]] void throwErrno(int err);
[[noreturn]] void raise(Failure f);
}

// Runs one step of a handler whose steps ignore failures: a failing step is
// skipped and the next one runs. Only the program's own failures are
// ignored; anything else is a fault that must not pass unseen.
inline void ignoreFailure(const std::function<void()>& step)
{
    try {
        step();
    } catch (const PxError&) {
    }
}
