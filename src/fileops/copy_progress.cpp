#include "fileops/copy_progress.h"

#include <QEvent>
#include <QTimer>

namespace {
constexpr int kSteps = 1000;
constexpr int kShowAfterMs = 1000;
}

CopyProgress::CopyProgress(QWidget* statusBar) : QProgressBar(statusBar)
{
    // Files past 2 GB do not fit the bar's int range: it counts steps.
    setRange(0, kSteps);
    setValue(0);
    hide();
    place();
    statusBar->installEventFilter(this);
    QTimer::singleShot(kShowAfterMs, this, [this] {
        show();
        raise();
    });
}

void CopyProgress::showDone(qint64 done, qint64 total)
{
    setValue(total > 0 ? int(done * kSteps / total) : kSteps);
}

bool CopyProgress::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        place();
    return QProgressBar::eventFilter(watched, event);
}

void CopyProgress::place()
{
    const QWidget* bar = parentWidget();
    setGeometry(bar->width() * 2 / 3, 0, bar->width() - bar->width() * 2 / 3, bar->height());
}
