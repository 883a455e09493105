#include "startup/form15.h"

#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QTimer>

Form15::Form15(const Screen& screen, QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setModal(true);
    useDesignFont(this);
    // The background is the design's own yellow and green whatever the
    // palette, and so is the black text on it.
    QPalette ink = palette();
    ink.setColor(QPalette::WindowText, Qt::black);
    setPalette(ink);
    const QSize size(screen.twipsToPixelsX(6612), screen.twipsToPixelsY(2940));
    resize(size);
    const QSizeF screenSize = screen.sizeTwips();
    move((screen.twipsToPixelsX(screenSize.width()) - size.width()) / 2,
         (screen.twipsToPixelsY(screenSize.height()) - size.height()) / 2);

    Image3 = new QLabel(this);
    // The program's icon, or a stand-in where it has none. Either may only
    // have a smaller picture; the splash shows it at its full 32 x 32.
    const QIcon icon = qApp->windowIcon().isNull() ? qApp->style()->standardIcon(QStyle::SP_DesktopIcon)
                                                   : qApp->windowIcon();
    Image3->setPixmap(icon.pixmap(32, 32).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    Image3->setGeometry(screen.twipsToPixelsX(480), screen.twipsToPixelsY(480), 32, 32);
    Label2 = new QLabel(QStringLiteral("Pixalto ") + ProgramInfo::version(), this);
    QFont big = Label2->font();
    big.setPointSize(28);
    big.setBold(true);
    Label2->setFont(big);
    Label2->move(screen.twipsToPixelsX(1320), screen.twipsToPixelsY(600));
    Label2->adjustSize();
    Label3 = new QLabel(QStringLiteral("For Windows 95/98/NT"), this);
    QFont small = Label3->font();
    small.setPointSize(12);
    Label3->setFont(small);
    Label3->move(screen.twipsToPixelsX(1320), screen.twipsToPixelsY(1680));
    Label3->adjustSize();

    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &Form15::Timer1_Timer);
}

void Form15::Form_Load() { Timer1->start(); }

void Form15::Timer1_Timer()
{
    Timer1->stop();
    accept();
}

void Form15::showEvent(QShowEvent* event)
{
    Form_Load();
    QDialog::showEvent(event);
}

void Form15::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(255, 255, 0));
    gradient.setColorAt(1, QColor(0, 255, 0));
    painter.fillRect(rect(), gradient);
}
