#pragma once
#include <QDialog>

class Form1;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;

// The attribute flags the File Information window ticks for an attribute
// value: the value itself when it holds only archive, read-only, hidden and
// system; none (0) when it holds any other bit.
int tickedAttributes(int value);

// The File Information window: name, folder, size, change time and the four
// attribute flags of the main window's current file, with rename and delete.
// Every button closes it.
class Form10 : public QDialog {
    Q_OBJECT
public:
    explicit Form10(Form1* main);

    // Opens the window modally over the main window and returns when it is
    // closed.
    static void showModal(Form1* main);

    void Form_Load();
    void Command1_Click(); // Rename...
    void Command2_Click(); // Delete
    void Command3_Click(); // OK

    QLabel* Label1;
    QLabel* Label5;
    QLabel* Label4;
    QLabel* Label6;
    QLabel* Label2;
    QLabel* Label7;
    QLabel* Label3;
    QLabel* Label8;
    QLabel* Label9;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QFrame* Line1;
    QFrame* Line2;

private:
    Form1* main;
};
