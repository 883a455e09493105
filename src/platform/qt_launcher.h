#pragma once
#include "platform/launcher.h"

class QtLauncher : public Launcher {
public:
    void startProgram(const QString& program, const QStringList& arguments, bool withFocus) override;
    void openWithDesktop(const QString& path) override;
    void startDisplaySettings() override;
};
