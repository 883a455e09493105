#pragma once
#include <QWidget>

class QProgressBar;
class Screen;

// The progress window shown while an info list is built: a caption and a
// progress bar from 0 to the number of files.
class Form9 : public QWidget {
    Q_OBJECT
public:
    // A window of its own, owned by parent, in the middle of the screen.
    Form9(QWidget* parent, const Screen& screen);

    // The bar's range is 0 to max; like the progress bar control, a maximum
    // that is not above 0 is refused (PxError) and the range stays as it was.
    void setBar1Max(int max);
    // done files of the bar's maximum: the bar takes the count each time the
    // shown percentage changes.
    void showDone(int done);

    QProgressBar* Bar1;

private:
    int shownPercent = -1;
};
