#pragma once
#include <QPointF>
#include <QSizeF>

class QWidget;

// A window's outer geometry, frame and title bar included, in twips: the
// sizes and positions that window layouts ask for. The window system sizes
// only the client area, so the frame's share is taken off; a window that the
// window manager has not framed yet counts as having no frame.
QSizeF outerSizeTwips(const QWidget* window);
void setOuterWidthTwips(QWidget* window, double twips);
void setOuterHeightTwips(QWidget* window, double twips);
void moveOuterTwips(QWidget* window, QPointF topLeft);

// The window manager frames a window some time after it is shown, which
// would make it larger than asked by the frame: whenever the frame changes,
// the client area is sized again so that the outer size is the one last
// asked for. The resize this causes reaches the window's own resize handling.
// A size or position the window manager reports late, after a later one was
// asked, is asked again rather than taken.
void keepOuterSizeWhenFramed(QWidget* window);
