#pragma once
#include "media/separate_window.h"

#include <QPointF>
#include <functional>

class ImageView;
class QAction;
class QMenu;

// The separate picture window: one picture, shrunk to fit when it is large,
// zoomed by the keypad's plus and minus and copied from a right-click menu.
// Every "Load in separate window" makes a new one.
class Form3 : public SeparateWindow {
    Q_OBJECT
public:
    explicit Form3(Form1* main);

    ImageView* Image1 = nullptr;
    QMenu* mnuedit = nullptr;
    QAction* mnucopy = nullptr;
    int HelpContextID = 0;

    void Form_Load();
    void Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    void Image1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF at);
    void mnucopy_Click();
    // A picture that could not be read leaves the view empty: it takes a
    // design size, widened until the caption and the status bar's texts
    // can be read.
    void sizeEmptyView(const QString& caption, const QStringList& panelTexts);

    // Where the pop-up menu opens; tests replace it to record instead of
    // showing.
    std::function<void(QMenu*)> popUp;

protected:
    void placeContents(int heightAboveStatusBar) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
