#pragma once
#include <QPointF>
#include <QSizeF>

class QWidget;
class Screen;

// A window's outer geometry, frame and title bar included, in twips: the
// sizes and positions that window layouts ask for. The window system sizes
// only the client area, so the frame's share is taken off; a window that the
// window manager has not framed yet counts as having no frame. Twips are
// the screen's, with its scale.
QSizeF outerSizeTwips(const QWidget* window, const Screen& screen);
void setOuterWidthTwips(QWidget* window, double twips, const Screen& screen);
void setOuterHeightTwips(QWidget* window, double twips, const Screen& screen);
void moveOuterTwips(QWidget* window, QPointF topLeft, const Screen& screen);

// The window manager frames a window some time after it is shown, which
// would make it larger than asked by the frame: whenever the frame changes,
// the client area is sized again so that the outer size is the one last
// asked for. The resize this causes reaches the window's own resize handling.
// A size or position the window manager reports late, after a later one was
// asked, is asked again rather than taken.
void keepOuterSizeWhenFramed(QWidget* window);
