#pragma once
#include <QEvent>
#include <QLabel>

// A label that sizes itself to its text in the font it has now, keeping its
// left and top: a font that arrives later (a theme's, the window's) sizes it
// again.
class AutoSizeLabel : public QLabel {
public:
    using QLabel::QLabel;

    void setCaption(const QString& text)
    {
        setText(text);
        adjustSize();
    }

protected:
    void changeEvent(QEvent* event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            adjustSize();
    }
};
