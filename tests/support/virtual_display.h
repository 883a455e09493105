#pragma once
#include <QProcess>
#include <QRect>
#include <QString>

class QWidget;

// A desktop of its own for a suite that needs a real window manager: Xvfb on
// a free display (1280 x 1024 at 96 DPI) with openbox managing it. Made
// before the QApplication, which then runs on it through the xcb platform;
// both programs are stopped when it goes.
class VirtualDisplay {
public:
    VirtualDisplay();
    ~VirtualDisplay();
    // What is not installed, empty when both programs are.
    QString missing() const { return absent; }
    // Why the installed programs did not start, empty when they run.
    QString failure() const { return failed; }

private:
    bool start();
    QProcess server;
    QProcess manager;
    QString absent;
    QString failed;
};

// Returns once the window manager has handled every request made before the
// call: a window of its own is resized through the window manager, which
// works through requests in order, and the new size is awaited.
bool windowManagerCaughtUp();

// The window's frame as the X server has it, in screen pixels: what the user
// sees, whatever Qt has been told so far.
QRect frameOnScreen(QWidget* window);
