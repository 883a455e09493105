#pragma once
#include <QPointer>
#include <QSizeF>
#include <QStringView>

class QTextEdit;

// Text appended at the end of a text box through a cursor, in one piece or
// several that undo takes back as one. The caret stays where it was, and a
// box not shown lays out nothing until it is shown. The box may go away
// meanwhile: what is left to do is then nothing.
class DocumentAppend {
public:
    explicit DocumentAppend(QTextEdit* box);
    ~DocumentAppend();
    DocumentAppend(const DocumentAppend&) = delete;
    DocumentAppend& operator=(const DocumentAppend&) = delete;

    bool boxGone() const { return box.isNull(); }
    void insert(QStringView piece);

private:
    QPointer<QTextEdit> box;
    QSizeF page;
    bool hidden = false;
    bool first = true;
    int anchor = 0;
    int position = 0;
};
