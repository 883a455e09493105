#pragma once
#include "controls/status_bar.h"
#include "desktop/desktop.h"

#include <QPointer>
#include <QWidget>

class Form1;

// What the separate picture and animation windows share: a status bar along
// the bottom edge, the bottom-right corner pinned near the screen's on every
// resize, keep-on-top taken up again on focus, and the focus handed back to
// the main window on closing. Each is deleted when closed; the main window's
// secondary windows hold those it opens, which use its job pool and controls,
// so that they go with it, open or not.
class SeparateWindow : public QWidget {
    Q_OBJECT
public:
    PanelStatusBar* StatusBar1 = nullptr;

    void Form_GotFocus();
    void Form_Resize();
    void Form_Unload(int& Cancel);

    // Keeps the window on top when the "OnTop" setting asks for it; a window
    // already on top stays so.
    void keepOnTopIfWanted();
    // The status bar's height in twips, as the window sizes count it.
    double statusBarHeightTwips() const;

protected:
    SeparateWindow(Form1* main, const QString& caption, const QVector<PanelStatusBar::PanelSpec>& panels);
    // Lays out the client area above the status bar.
    virtual void placeContents(int heightAboveStatusBar) = 0;

    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    const Desktop& desktop() const { return parts; }

private:
    QPointer<Form1> mainWindow;
    const Desktop parts;
};
