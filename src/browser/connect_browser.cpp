#include "browser/connect_browser.h"

#include "browser/drop_opener.h"
#include "browser/live_folder.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "movie/movie_player.h"
#include "startup/form1.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

void connectBrowser(Form1& form)
{
    Form1* f = &form;
    QObject::connect(f->Drive1, &DriveList::changed, f, &Form1::Drive1_Change);
    QObject::connect(f->Dir1, &DirList::changed, f, &Form1::Dir1_Change);
    QObject::connect(f->Dir1, &DirList::mouseDown, f, &Form1::Dir1_MouseDown);
    QObject::connect(f->File1, &FileList::clicked, f, &Form1::File1_Click);
    QObject::connect(f->File1, &FileList::relisted, f, &Form1::dropPendingLoad);
    QObject::connect(f->File1, &FileList::mouseDown, f, &Form1::File1_MouseDown);
    QObject::connect(f->File1, &FileList::keyDown, f, &Form1::File1_KeyDown);
    QObject::connect(f->AM1, &MoviePlayer::started, f, &Form1::animationStarted);
    QObject::connect(f->AM1, &MoviePlayer::failed, f, &Form1::animationRefused);
    // Selecting an option, by the user or by code, runs its handler.
    QObject::connect(f->Option1, &QRadioButton::toggled, f, [f](bool on) { if (on) f->Option1_Click(); });
    QObject::connect(f->Option2, &QRadioButton::toggled, f, [f](bool on) { if (on) f->Option2_Click(); });
    QObject::connect(f->Option3, &QRadioButton::toggled, f, [f](bool on) { if (on) f->Option3_Click(); });
    QObject::connect(f->Option4, &QRadioButton::toggled, f, [f](bool on) { if (on) f->Option4_Click(); });
    QObject::connect(f->Command4, &QPushButton::clicked, f, &Form1::Command4_Click);
    QObject::connect(f->Command5, &QPushButton::clicked, f, &Form1::Command5_Click);
    QObject::connect(f->Timer1, &QTimer::timeout, f, &Form1::Timer1_Timer);
    QObject::connect(f->StatusBar1, &PanelStatusBar::panelClicked, f, &Form1::StatusBar1_PanelClick);
    QObject::connect(f->Image1, &ImageView::clicked, f, &Form1::Image1_Click);
    QObject::connect(f->Image1, &ImageView::zoomStep, f, [f](bool enlarge) {
        f->File1_KeyDown(enlarge ? Qt::Key_Plus : Qt::Key_Minus, Qt::KeypadModifier);
    });
    QObject::connect(f->Image1, &ImageView::pictureOnScreen, f, [f] {
        if (std::exchange(f->neighboursAfterPaint, false))
            f->preloadNeighbours();
    });
    new LiveFolder(form);
    new DropOpener(form);
}
