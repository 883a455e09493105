#pragma once
#include "desktop/launcher.h"

class QtLauncher : public Launcher {
public:
    void startProgram(const QString& program, const QStringList& arguments, bool withFocus) override;
    void openWithDesktop(const QString& path) override;
    void startDisplaySettings() override;
};
