#include "desktop/window_frame.h"

#include "desktop/screen.h"

#include <QEvent>
#include <QMargins>
#include <QObject>
#include <QVariant>
#include <QWidget>
#include <QWindow>

namespace {
// The outer size last asked for, in pixels, kept on the window.
const char* const kAskedOuterSize = "pixaltoAskedOuterSize";

QSize frameShare(const QWidget* window) { return window->frameGeometry().size() - window->size(); }

QSize askedOuterSize(const QWidget* window)
{
    const QVariant asked = window->property(kAskedOuterSize);
    return asked.isValid() ? asked.toSize() : window->frameGeometry().size();
}

void applyOuterSize(QWidget* window, QSize outer)
{
    window->resize((outer - frameShare(window)).expandedTo(QSize(1, 1)));
}

void askOuterSize(QWidget* window, QSize outer)
{
    window->setProperty(kAskedOuterSize, outer);
    applyOuterSize(window, outer);
}

QMargins frameMargins(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

// Watches the widget and its native window: a frame that arrives without
// moving or resizing the client area is seen only by the native window.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget* window) : QObject(window), target(window), known(frameMargins(window))
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show && target->windowHandle())
            target->windowHandle()->installEventFilter(this);
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show && type != QEvent::Expose)
            return false;
        const QMargins now = frameMargins(target);
        if (now == known)
            return false;
        known = now;
        // The size the window manager reports meanwhile may be an old one:
        // the one asked for is what counts. A maximized or full-screen window
        // takes the size the window manager gives it.
        const bool normal = !(target->windowState()
                              & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
        if (normal && target->property(kAskedOuterSize).isValid())
            applyOuterSize(target, askedOuterSize(target));
        return false;
    }

private:
    QWidget* target;
    QMargins known;
};
}

QSizeF outerSizeTwips(const QWidget* window)
{
    const QSize outer = window->frameGeometry().size();
    return {pixelsToTwipsX(outer.width()), pixelsToTwipsY(outer.height())};
}

void setOuterWidthTwips(QWidget* window, double twips)
{
    askOuterSize(window, {twipsToPixelsX(twips), askedOuterSize(window).height()});
}

void setOuterHeightTwips(QWidget* window, double twips)
{
    askOuterSize(window, {askedOuterSize(window).width(), twipsToPixelsY(twips)});
}

void moveOuterTwips(QWidget* window, QPointF topLeft)
{
    // A window's position is that of its frame.
    window->move(twipsToPixelsX(topLeft.x()), twipsToPixelsY(topLeft.y()));
}

void keepOuterSizeWhenFramed(QWidget* window) { new FrameWatcher(window); }
