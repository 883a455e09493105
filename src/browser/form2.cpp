#include "browser/form2.h"

#include "controls/image_view.h"
#include "core/failure.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "startup/form1.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>


QPointF centredTopLeft(const QSizeF& screenTwips, const QSizeF& pictureTwips)
{
    return {screenTwips.width() / 2 - pictureTwips.width() / 2,
            screenTwips.height() / 2 - pictureTwips.height() / 2};
}

Form2::Form2(QWidget* owner, JobPool& jobs, const Desktop& desktop)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), parts(desktop)
{
    setFocusPolicy(Qt::StrongFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, palette().color(QPalette::ButtonText));
    setPalette(colours);
    setAutoFillBackground(true);

    Image1 = new ImageView(jobs, *desktop.screen, this);
    Image1->setToolTip(QStringLiteral("Click to return"));
    connect(Image1, &ImageView::clicked, this, &Form2::Image1_Click);
    Form_Load();
}

void Form2::Form_Load() { HelpContextID = 21; }

void Form2::centre()
{
    const Screen& screen = *desktop().screen;
    const QPointF corner = centredTopLeft(screen.sizeTwips(), {Image1->widthTwips(), Image1->heightTwips()});
    Image1->move(screen.twipsToPixelsX(corner.x()), screen.twipsToPixelsY(corner.y()));
}

void Form2::Form_KeyDown(int key, Qt::KeyboardModifiers shift)
{
    // Only the keypad's plus and minus zoom; those of the main keyboard are
    // ordinary keys here.
    const double factor = keypadZoomFactor(key, shift);
    if (factor != 0) {
        Image1->hide();
        Image1->setWidthTwips(Image1->widthTwips() * factor);
        Image1->setHeightTwips(Image1->heightTwips() * factor);
        Image1->setStretch(true);
    }
    centre();
    Image1->show();
}

void Form2::Form_Click() { hide(); }
void Form2::Image1_Click() { hide(); }

void Form2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1 && HelpContextID != 0)
        ignoreFailure([this] { desktop().help->showTopic(ProgramInfo::helpFile(), HelpContextID); });
    Form_KeyDown(event->key(), event->modifiers());
}

void Form2::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Form_Click();
}

void Form1::Image1_Click()
{
    auto* view = findChild<Form2*>(QString(), Qt::FindDirectChildrenOnly);
    if (!view)
        view = new Form2(this, *jobs, desktop());
    view->Image1->setPicture(Image1->wholePicture());
    view->Image1->setStretch(false);
    view->centre();
    // Maximized, a borderless window may stop short of the desktop's panels;
    // full screen covers all of it.
    view->showFullScreen();
    view->activateWindow();
}
