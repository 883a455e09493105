#pragma once
#include <QDialog>

class DirList;
class DriveList;
class Form1;
class QGroupBox;
class QLabel;
class QPushButton;

// The DIR browser: picks a folder on its own drive and directory lists and
// makes it the copy directory of this run, the default copy directory or the
// start-up directory, or creates a sub-directory in it.
class Form7 : public QDialog {
    Q_OBJECT
public:
    explicit Form7(Form1* main);

    // Opens the window modally over the main window and returns when it is
    // closed.
    static void showModal(Form1* main);

    void Form_Load();
    void Drive1_Change();
    void Command1_Click(); // use as copy directory of this run
    void Command2_Click(); // set as default copy directory
    void Command3_Click(); // set as start-up directory
    void Command4_Click(); // create a sub-directory
    void Command5_Click(); // close

    DriveList* Drive1;
    DirList* Dir1;
    QGroupBox* Frame1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QPushButton* Command5;

private:
    Form1* main;
};
