#pragma once
#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class Screen;

// The About window: the program, its maker, the user name and the versions
// of the libraries in use, in a text that can be selected and copied into a
// bug report.
class Form8 : public QDialog {
    Q_OBJECT
public:
    explicit Form8(const Screen& screen, QWidget* owner = nullptr);

    static void showModal(const Screen& screen);

    void Command1_Click(); // OK

    QPlainTextEdit* Text1;
    QPushButton* Command1;
};
