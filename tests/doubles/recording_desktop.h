#pragma once
#include "desktop/help_viewer.h"
#include "desktop/launcher.h"
#include "desktop/screen.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Records help requests instead of opening a viewer.
class RecordingHelp : public HelpViewer {
public:
    void showTopic(const QString& helpFile, int topic) override { topics.append({helpFile, topic}); }
    void showContents(const QString& helpFile) override { contents.append(helpFile); }
    QList<QPair<QString, int>> topics;
    QStringList contents;
};

// Records launch requests. Like the desktop, it refuses a program file that
// does not exist or cannot be run.
class RecordingLauncher : public Launcher {
public:
    void startProgram(const QString& program, const QStringList& arguments, bool withFocus) override;
    void openWithDesktop(const QString& path) override { opened.append(path); }
    void startDisplaySettings() override { ++displaySettingsStarts; }
    QStringList started;
    QStringList opened;
    int displaySettingsStarts = 0;
};

// A screen of a chosen size in pixels at 96 DPI (15 twips per pixel).
class FixedScreen : public Screen {
public:
    FixedScreen(int widthPx = 1280, int heightPx = 1024) : width(widthPx), height(heightPx) {}
    QSizeF sizeTwips() const override { return {width * 15.0, height * 15.0}; }
    double twipsPerPixelX() const override { return 15.0; }
    double twipsPerPixelY() const override { return 15.0; }
    int width;
    int height;
};
