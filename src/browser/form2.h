#pragma once
#include "desktop/desktop.h"

#include <QPointF>
#include <QSizeF>
#include <QWidget>

class ImageView;
class JobPool;

// Top-left corner, in twips, that centres a picture on the screen. A picture
// larger than the screen gets a negative corner, its edges off the screen.
QPointF centredTopLeft(const QSizeF& screenTwips, const QSizeF& pictureTwips);

// The full-screen view: the main window's picture at its natural size in
// the middle of a black screen. The keypad's plus and minus zoom by 5% per
// press; a click closes the view. Created on first use, then only shown and
// hidden; it belongs to the main window.
class Form2 : public QWidget {
    Q_OBJECT
public:
    Form2(QWidget* owner, JobPool& jobs, const Desktop& desktop);

    void Form_Load();
    void Form_KeyDown(int key, Qt::KeyboardModifiers shift);
    void Form_Click();
    void Image1_Click();
    // Puts the picture in the middle of the screen at its present size.
    void centre();

    ImageView* Image1;
    int HelpContextID = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const Desktop& desktop() const { return parts; }
    const Desktop parts;
};
