#include "media/separate_window.h"

#include "core/failure.h"
#include "desktop/desktop.h"
#include "desktop/keep_on_top.h"
#include "desktop/screen.h"
#include "desktop/window_frame.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "startup/form1.h"

#include <QCloseEvent>

SeparateWindow::SeparateWindow(Form1* main, const QString& caption,
                               const QVector<PanelStatusBar::PanelSpec>& panels)
    : mainWindow(main), parts(main->desktop())
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);
    useDesignFont(this);
    setFocusPolicy(Qt::StrongFocus);
    StatusBar1 = new PanelStatusBar(panels, this);
    StatusBar1->setFixedHeight(StatusBar1->sizeHint().height());
    keepOuterSizeWhenFramed(this);
}

double SeparateWindow::statusBarHeightTwips() const
{
    return desktop().screen->pixelsToTwipsY(StatusBar1->height());
}

void SeparateWindow::Form_GotFocus() { keepOnTopIfWanted(); }

void SeparateWindow::keepOnTopIfWanted()
{
    ignoreFailure([this] {
        if (settingIsOne(Keys::OnTop))
            setKeepOnTop(this, true);
    });
}

void SeparateWindow::Form_Resize()
{
    const Screen& screen = *desktop().screen;
    moveOuterTwips(this, pincorner(outerSizeTwips(this, screen), screen.sizeTwips()), screen);
}

void SeparateWindow::Form_Unload(int& /*Cancel*/)
{
    if (mainWindow) {
        mainWindow->activateWindow();
        mainWindow->setFocus();
    }
}

void SeparateWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_GotFocus();
}

void SeparateWindow::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    event->accept();
}

void SeparateWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int bar = StatusBar1->height();
    StatusBar1->setGeometry(0, height() - bar, width(), bar);
    // A window made smaller than its picture still shows its status bar.
    StatusBar1->raise();
    placeContents(height() - bar);
    Form_Resize();
}
