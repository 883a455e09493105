#pragma once
#include <QRect>
#include <QSize>
#include <QString>

class Form1;
class WholePicture;

// What the separate windows need of the main window: what it shows and
// where.
class MainMedia {
public:
    const WholePicture& shownPicture() const;
    // The shown picture's size as its caption reads ("640 x 480").
    QString pictureSizeText() const;
    double movieSpeed() const;
    QSize movieSize() const;
    // The picture area on the screen, from its top left corner to the
    // status bar and the window's right edge.
    QRect pictureAreaOnScreen() const;

private:
    friend class Form1;
    explicit MainMedia(Form1& form) : form(form) {}

    Form1& form;
};
