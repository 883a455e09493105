#pragma once
#include <QLabel>

// A label that sizes itself to its text, keeping its left and top.
inline void setAutoSizeCaption(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}
