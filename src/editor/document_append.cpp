#include "editor/document_append.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

DocumentAppend::DocumentAppend(QTextEdit* box) : box(box)
{
    QTextDocument* document = box->document();
    // A box not shown yet is laid out when it is shown, at its real width:
    // without a page size the insertion itself lays out nothing, and putting
    // the size back starts Qt's lazy layout, which does the shown part first.
    page = document->pageSize();
    hidden = !box->isVisible();
    if (hidden)
        document->setPageSize(QSizeF(0, 0));
    // The caret stays where it was. One at the end would move along with the
    // text, and showing the box would then lay out the whole document at
    // once to bring the caret into view.
    const QTextCursor caret = box->textCursor();
    anchor = caret.anchor();
    position = caret.position();
}

void DocumentAppend::insert(QStringView piece)
{
    if (!box)
        return;
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    if (first)
        end.beginEditBlock();
    else
        end.joinPreviousEditBlock();
    end.insertText(piece.toString());
    end.endEditBlock();
    first = false;
}

DocumentAppend::~DocumentAppend()
{
    if (!box)
        return;
    QTextDocument* document = box->document();
    // The caret first: moving it repaints where it was, at the end, which
    // with a page would lay out the whole document at once.
    if (box->textCursor().position() != position) {
        QTextCursor back(document);
        back.setPosition(anchor);
        back.setPosition(position, QTextCursor::KeepAnchor);
        box->setTextCursor(back);
    }
    if (hidden)
        document->setPageSize(page);
}
