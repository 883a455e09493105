#include "infolist/form9.h"

#include "core/failure.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"

#include <QProgressBar>

Form9::Form9(QWidget* parent, const Screen& screen)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Creating file info list, please wait..."));
    useDesignFont(this);
    const QSize size(screen.twipsToPixelsX(9000), screen.twipsToPixelsY(855));
    setFixedSize(size);
    const QSizeF screenSize = screen.sizeTwips();
    move((screen.twipsToPixelsX(screenSize.width()) - size.width()) / 2,
         (screen.twipsToPixelsY(screenSize.height()) - size.height()) / 2);

    Bar1 = new QProgressBar(this);
    Bar1->setRange(0, 100);
    Bar1->setValue(0);
    // A plain bar: a percentage text would be redrawn at every step.
    Bar1->setTextVisible(false);
    screen.placeTwips(Bar1, 120, 180, 8760, 495);
}

void Form9::setBar1Max(int max)
{
    if (max <= Bar1->minimum())
        Errors::raise(Errors::invalidPropertyValue());
    Bar1->setMaximum(max);
}

void Form9::showDone(int done)
{
    const int percent = int(qint64(done) * 100 / Bar1->maximum());
    if (percent == shownPercent)
        return;
    shownPercent = percent;
    // Setting the bar costs a style and repaint check each time, which for
    // 10,000 files was a tenth of the whole list; it changes on screen only
    // this often anyway.
    Bar1->setValue(done);
}
