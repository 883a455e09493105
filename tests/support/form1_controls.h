#pragma once
// The main window's controls as a person finds them on screen, each by its
// name, which its object carries.
#include <QString>

class DirList;
class DriveList;
class FileList;
class Form1;
class ImageView;
class MoviePlayer;
class PanelStatusBar;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTimer;

struct Form1Controls {
    explicit Form1Controls(const Form1& form);

    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QLabel* Label6;
    QLabel* Label7;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QLineEdit* Text2;
    QPushButton* Command4;
    QPushButton* Command5;
    QPushButton* Command6;
    QPushButton* Command3;
    QPushButton* Command2;
    QPushButton* Command7;
    QLabel* Label5;
    ImageView* Image1;
    PanelStatusBar* StatusBar1;
    MoviePlayer* AM1;
    QTimer* Timer1;

    QMenu* mnufile;
    QAction* mnurename;
    QAction* mnudelete;
    QAction* oleeditopen;
    QAction* newwindow;
    QAction* textfile;
    QAction* mnupattern;
    QMenu* mnuset;
    QAction* mnusession;
    QAction* mnudefault;
    QAction* mnustartup;
    QAction* mnuinfolist;
    QAction* mnuhelp;
};
