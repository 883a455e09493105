#pragma once
#include <QString>
#include <QStringList>

// Starts other programs without waiting for them, and hands files to the
// application the desktop associates with their type.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Throws PxError when the program cannot be started (missing, not executable).
    virtual void startProgram(const QString& program, const QStringList& arguments,
                              bool withFocus) = 0;
    // Throws PxError when the desktop has nothing to open it with but this
    // program (see HandOff::application).
    virtual void openWithDesktop(const QString& path) = 0;
    // The desktop's display-settings tool; throws PxError when there is none.
    virtual void startDisplaySettings() = 0;
};
