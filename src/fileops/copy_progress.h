#pragma once
#include <QProgressBar>

// The bar a copy shows in the right part of the status bar once it has run
// for a second: a short copy does not flash it. It keeps its place when the
// status bar is resized and goes with the copy.
class CopyProgress : public QProgressBar {
public:
    explicit CopyProgress(QWidget* statusBar);
    void showDone(qint64 done, qint64 total);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
};
