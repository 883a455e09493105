#include "desktop/window_frame.h"

#include "desktop/managed_frame.h"
#include "desktop/screen.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QVariant>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {
// The outer size and position last asked for, in pixels, kept on the window.
const char* const kAskedOuterSize = "pixaltoAskedOuterSize";
const char* const kAskedOuterPos = "pixaltoAskedOuterPos";
// How many of the sizes and positions asked before the last are known as
// such when the window manager reports them late.
constexpr qsizetype kAskedKept = 32;
// How long the window manager must stay quiet before its frame is checked,
// and how often a frame may be asked for again before the window manager's
// own idea is taken.
constexpr int kSettleMs = 250;
constexpr int kReasksAllowed = 3;

QMargins frameMargins(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

bool decorated(const QWidget* window)
{
    return window->isWindow() && window->windowType() == Qt::Window
        && !window->windowFlags().testFlag(Qt::FramelessWindowHint);
}

// A window the window manager has not framed yet will get the frame its
// framed windows have: sizing and placing it by that frame before it is
// shown leaves the window manager nothing to correct, so no late report of
// an earlier geometry can undo what was asked.
QMargins expectedFrameMargins(const QWidget* window)
{
    const QMargins own = frameMargins(window);
    if (!own.isNull() || !decorated(window))
        return own;
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QWidget* other : windows) {
        if (other != window && other->isVisible() && decorated(other) && !frameMargins(other).isNull())
            return frameMargins(other);
    }
    return own;
}

QSize frameShare(const QWidget* window)
{
    const QMargins frame = expectedFrameMargins(window);
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}

// Qt's own idea of the frame lags behind the window manager's, and a
// window moved by its frame would be placed by that idea: the client area is
// placed instead, by the frame the window has or will have.
void placeFrame(QWidget* window, QPoint at)
{
    const QMargins frame = expectedFrameMargins(window);
    window->setGeometry(QRect(at + QPoint(frame.left(), frame.top()), window->size()));
}

QSize outerSize(const QWidget* window) { return window->size() + frameShare(window); }

QSize askedOuterSize(const QWidget* window)
{
    const QVariant asked = window->property(kAskedOuterSize);
    return asked.isValid() ? asked.toSize() : outerSize(window);
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

// Watches the widget and its native window: a frame that arrives without
// moving or resizing the client area is seen only by the native window.
class FrameWatcher : public QObject {
public:
    explicit FrameWatcher(QWidget* window) : QObject(window), target(window), known(frameMargins(window))
    {
        window->installEventFilter(this);
        settle.setSingleShot(true);
        settle.setInterval(kSettleMs);
        connect(&settle, &QTimer::timeout, this, [this] { checkSettledFrame(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show && target->windowHandle()) {
            target->windowHandle()->installEventFilter(this);
            // The size the window is created with is asked too.
            remember(QEvent::Resize);
        }
        if (watched == target && (type == QEvent::Move || type == QEvent::Resize)) {
            if (!event->spontaneous())
                remember(type);
            else if (reportsOldGeometry(type))
                return true;
        }
        if (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show && type != QEvent::Expose)
            return false;
        settle.start();
        const QMargins now = frameMargins(target);
        if (now == known)
            return false;
        known = now;
        // The size the window manager reports meanwhile may be an old one:
        // the one asked for is what counts.
        if (normal() && target->property(kAskedOuterSize).isValid())
            applyOuterSize(target, askedOuterSize(target));
        return false;
    }

private:
    // A maximized or full-screen window takes the geometry the window
    // manager gives it.
    bool normal() const
    {
        return !(target->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized));
    }

    // Under load the window manager can act on a burst of requests in an
    // order of its own and leave the frame at an older one while the window
    // was told the newest. Once it has gone quiet, the frame the X server
    // holds is compared with the one asked for, and asked for again when it
    // is an old request's or the window manager's own placement; one never
    // asked for, after the window was where asked, is the user's and stays.
    void checkSettledFrame()
    {
        const QVariant size = target->property(kAskedOuterSize);
        const QVariant at = target->property(kAskedOuterPos);
        if (!normal() || !target->isVisible() || !size.isValid() || !at.isValid() || reasks >= kReasksAllowed)
            return;
        const std::optional<ManagedGeometry> now = managedGeometry(target);
        const QRect wanted(at.toPoint(), size.toSize());
        if (!now)
            return;
        if (now->frame == wanted) {
            placedAsAsked = true;
            return;
        }
        // By the frame the window really has: Qt may not know it yet, and
        // a request made by Qt's idea would then be the same wrong one.
        const QMargins frame(now->client.left() - now->frame.left(), now->client.top() - now->frame.top(),
                             now->frame.right() - now->client.right(), now->frame.bottom() - now->client.bottom());
        const QRect client = wanted.marginsRemoved(frame);
        const bool oldSize = now->client.size() != client.size() && sizes.contains(now->client.size());
        if (placedAsAsked && !oldSize && !nearAskedPosition(now->frame.topLeft(), frame)
            && !nearAskedPosition(now->client.topLeft(), frame)) {
            target->setProperty(kAskedOuterPos, now->frame.topLeft());
            target->setProperty(kAskedOuterSize, now->frame.size());
            return;
        }
        ++reasks;
        askClientArea(target, client);
        // A request the window manager finds already met is not answered.
        settle.start();
    }

    // Every size and position the window system was asked for, including
    // those that a resize or a move sends along.
    void remember(QEvent::Type type)
    {
        reasks = 0;
        placedAsAsked = false;
        if (type == QEvent::Resize)
            keep(sizes, target->size());
        keep(positions, target->frameGeometry().topLeft());
        keep(positions, target->geometry().topLeft());
    }

    template <typename T>
    static void keep(QList<T>& list, const T& value)
    {
        list.removeOne(value);
        list.append(value);
        if (list.size() > kAskedKept)
            list.removeFirst();
    }

    // The window manager reports what it was asked, in order, each some time
    // later, and a request made before it framed the window may be placed
    // by the client area. A report of something asked before the last
    // request is out of date: acted on (the corner pinning sends the size
    // along) it would become the window's geometry, so the last request is
    // made again. Anything never asked for is the user's, which stays.
    bool reportsOldGeometry(QEvent::Type type)
    {
        if (!normal())
            return false;
        const QVariant askedPos = target->property(kAskedOuterPos);
        const bool oldSize = type == QEvent::Resize && sizes.contains(target->size())
                          && target->size() != sizes.last();
        const bool oldPos = type == QEvent::Move && askedPos.isValid()
                         && target->frameGeometry().topLeft() != askedPos.toPoint() && nearAskedPosition();
        if (!oldSize && !oldPos) {
            if (type == QEvent::Resize) {
                sizes.clear();
                target->setProperty(kAskedOuterSize, outerSize(target));
            }
            return false;
        }
        if (oldSize)
            target->resize(sizes.last());
        else
            placeFrame(target, askedPos.toPoint());
        return oldSize;
    }

    // Placed before its frame was known, a window may end up off the
    // position asked by as much as the frame adds (the window manager takes
    // it for the client area's, or keeps the client area where it was).
    bool nearAskedPosition() const
    {
        const QMargins frame = frameMargins(target);
        return nearAskedPosition(target->frameGeometry().topLeft(), frame)
            || nearAskedPosition(target->geometry().topLeft(), frame);
    }

    bool nearAskedPosition(QPoint at, QMargins frame) const
    {
        return std::any_of(positions.begin(), positions.end(), [&](QPoint asked) {
            return qAbs(at.x() - asked.x()) <= frame.left() + frame.right()
                && qAbs(at.y() - asked.y()) <= frame.top() + frame.bottom();
        });
    }

    QWidget* target;
    QMargins known;
    QTimer settle;
    int reasks = 0;
    bool placedAsAsked = false;
    QList<QSize> sizes;
    QList<QPoint> positions;
};
}

QSizeF outerSizeTwips(const QWidget* window, const Screen& screen)
{
    const QSize outer = outerSize(window);
    return {screen.pixelsToTwipsX(outer.width()), screen.pixelsToTwipsY(outer.height())};
}

void setOuterWidthTwips(QWidget* window, double twips, const Screen& screen)
{
    askOuterSize(window, {screen.twipsToPixelsX(twips), askedOuterSize(window).height()});
}

void setOuterHeightTwips(QWidget* window, double twips, const Screen& screen)
{
    askOuterSize(window, {askedOuterSize(window).width(), screen.twipsToPixelsY(twips)});
}

void moveOuterTwips(QWidget* window, QPointF topLeft, const Screen& screen)
{
    // A window's position is that of its frame.
    const QPoint at(screen.twipsToPixelsX(topLeft.x()), screen.twipsToPixelsY(topLeft.y()));
    window->setProperty(kAskedOuterPos, at);
    placeFrame(window, at);
}

void keepOuterSizeWhenFramed(QWidget* window) { new FrameWatcher(window); }
