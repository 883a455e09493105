#include "editor/paced_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QSizeF>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {
// About 10 ms of laying out lines of a report on this machine.
constexpr int kPieceChars = 16000;

class LayoutPacer : public QObject {
public:
    explicit LayoutPacer(QTextEdit* box) : QObject(box), box(box) { box->installEventFilter(this); }

    void follow(QTextDocument* document)
    {
        if (layout)
            layout->removeEventFilter(this);
        layout = document->documentLayout();
        layout->installEventFilter(this);
        restart();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (watched == box) {
            // Any of these may have the layout start again from the top.
            if (type == QEvent::Resize || type == QEvent::Show)
                restart();
            return false;
        }
        if (watched != layout || type != QEvent::Timer)
            return false;
        // The layout's timers drive its lazy steps and report its size as
        // it grows; while a piece is left, a tick lays out one piece.
        QTextDocument* document = box->document();
        if (document->pageSize() != page)
            restart();
        if (reached + kPieceChars >= document->characterCount())
            return false;
        reached += kPieceChars;
        layout->blockBoundingRect(document->findBlock(reached));
        return true;
    }

private:
    // Where Qt's layout may be again: at the top. Laying out what is laid
    // out already costs nothing, so a needless restart costs only ticks.
    void restart()
    {
        reached = 0;
        page = box->document()->pageSize();
    }

    QTextEdit* box;
    QPointer<QAbstractTextDocumentLayout> layout;
    QSizeF page;
    int reached = 0;
};
}

void paceLayout(QTextEdit* box)
{
    LayoutPacer* pacer = nullptr;
    for (QObject* child : box->children()) {
        if (auto* own = dynamic_cast<LayoutPacer*>(child))
            pacer = own;
    }
    if (!pacer)
        pacer = new LayoutPacer(box);
    pacer->follow(box->document());
}
