#pragma once
#include <QWidget>

class QProgressBar;

// The progress window shown while an info list is built: a caption and a
// progress bar from 0 to the number of files.
class Form9 : public QWidget {
    Q_OBJECT
public:
    Form9();

    // The bar's range is 0 to max; like the progress bar control, a maximum
    // that is not above 0 is refused (PxError) and the range stays as it was.
    void setBar1Max(int max);
    // Shows the window and paints it at once.
    void showNow();
    // Moves the bar on by one from 0. Each time the shown percentage changes
    // the bar takes the new value and the window system's events are handled
    // so that the window paints; input waits until the command that runs has
    // ended.
    void stepBar1();

    QProgressBar* Bar1;

private:
    void paintPending();
    int steps = 0;
    int shownPercent = -1;
};
