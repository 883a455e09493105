#pragma once
#include <QObject>

class Form1;

// A file or folder dropped on the main window opens as when it is named on
// the command line. What is dragged out of the window's own file list is
// not taken back.
class DropOpener : public QObject {
public:
    explicit DropOpener(Form1& form);
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form1& form;
};
