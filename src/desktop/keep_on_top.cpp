#include "desktop/keep_on_top.h"

#include <QWidget>

void setKeepOnTop(QWidget* window, bool on)
{
    if (window->testAttribute(Qt::WA_WState_Created) == false || !window->isVisible()) {
        window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        return;
    }
    // Changing the flag re-creates a shown window hidden; show it again.
    window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
    window->show();
}
