#pragma once
// The main window's controls as a person finds them: by what each is for.
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

    DriveList* driveList;
    DirList* directoryList;
    FileList* fileList;
    QLabel* fileCount;
    QLabel* currentNumber;
    QGroupBox* zoomOptions;
    QRadioButton* quarterSize;
    QRadioButton* halfSize;
    QRadioButton* originalSize;
    QRadioButton* doubleSize;
    QLineEdit* autoskipInterval;
    QPushButton* runAutoskip;
    QPushButton* stopAutoskip;
    QPushButton* copyToClipboard;
    QPushButton* pasteFromClipboard;
    QPushButton* fileCopy;
    QPushButton* fileMove;
    QLabel* pictureSize;
    ImageView* picture;
    PanelStatusBar* statusBar;
    MoviePlayer* moviePlayer;
    QTimer* autoskipTimer;

    QMenu* fileMenu;
    QAction* renameFile;
    QAction* deleteFile;
    QAction* openWithDesktop;
    QAction* separateWindow;
    QAction* textEditor;
    QAction* searchPattern;
    QMenu* directoryMenu;
    QAction* useAsCopyDirectory;
    QAction* defaultCopyDirectory;
    QAction* startupDirectory;
    QAction* infoList;
    QAction* help;
};
