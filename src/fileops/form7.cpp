#include "fileops/form7.h"

#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "desktop/screen.h"
#include "fileops/directory_roles.h"
#include "fileops/file_commands.h"
#include "fileops/main_files.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "startup/form1.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
// The sub-directory command of this window reports in its box only.
const CommandReport kSubDirectory{{QStringLiteral("ERROR "), QStringLiteral("Unknown SubDIR Create ERROR"),
                                   FileCommandText::subDirectoryFailed},
                                  Beep::Silent, CommandReport::Record::Described, Logging::BoxOnly};

QPushButton* button(const Screen& screen, QWidget* parent, const QString& caption, double top)
{
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    screen.placeTwips(b, 3600, top, 3120, 372);
    return b;
}

QLabel* label(const Screen& screen, QWidget* parent, const QString& caption, double top)
{
    auto* l = new QLabel(caption, parent);
    screen.placeTwips(l, 120, top, 6360, 255);
    return l;
}
}

Form7::Form7(Form1* mainWindow) : QDialog(mainWindow), main(mainWindow)
{
    setWindowTitle(QStringLiteral("DIR browser"));
    useDesignFont(this);
    const Screen& screen = *main->desktop().screen;
    setFixedSize(screen.twipsToPixelsX(6840), screen.twipsToPixelsY(4440));

    Drive1 = new DriveList(this);
    screen.placeTwips(Drive1, 120, 120, 3240, 315);
    Dir1 = new DirList(this);
    screen.placeTwips(Dir1, 120, 540, 3240, 2460);

    Command1 = button(screen, this, QStringLiteral("Use as copy DIR (this session)"), 120);
    Command2 = button(screen, this, QStringLiteral("Set as default copy DIR"), 600);
    Command3 = button(screen, this, QStringLiteral("Set as Startup DIR"), 1080);
    Command4 = button(screen, this, QStringLiteral("Create Sub DIR"), 1560);
    Command5 = button(screen, this, QStringLiteral("Close"), 2628);

    Frame1 = new QGroupBox(QStringLiteral("Settings"), this);
    screen.placeTwips(Frame1, 120, 3120, 6600, 1200);
    Label1 = label(screen, Frame1, QStringLiteral("Label1"), 300);
    Label2 = label(screen, Frame1, QStringLiteral("Label2"), 600);
    Label3 = label(screen, Frame1, QStringLiteral("Label3"), 900);

    connect(Drive1, &DriveList::changed, this, &Form7::Drive1_Change);
    // The directory list can move onto another volume by itself.
    connect(Dir1, &DirList::changed, this, [this] { Drive1->followDirectory(Dir1->path()); });
    connect(Command1, &QPushButton::clicked, this, &Form7::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form7::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form7::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form7::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form7::Command5_Click);

    Form_Load();
}

void Form7::showModal(Form1* main)
{
    Form7 form(main);
    form.exec();
}

void Form7::Form_Load()
{
    // The lists start where the program runs, and stay there when there is
    // no copy directory or it cannot be opened (removed since): the drive
    // list follows the directory list.
    ignoreFailure([this] { Dir1->setPath(QDir::currentPath()); });
    if (!main->copyFolder().isEmpty())
        ignoreFailure([this] { Dir1->setPath(main->copyFolder()); });
    Label1->setText(QStringLiteral("Current copy DIR: ") + main->copyFolder());
    Label2->setText(QStringLiteral("Default copy DIR: ") + readSetting(Keys::Defaultcopydir));
    Label3->setText(QStringLiteral("Startup DIR: ") + readSetting(Keys::Startupdir));
}

void Form7::Drive1_Change() { openChosenDrive(*Drive1, *Dir1); }

void Form7::Command1_Click()
{
    ignoreFailure([this] {
        main->files().useAsCopyDirectory(directoryValue(Dir1->path()));
        Label1->setText(QStringLiteral("Current copy DIR: ") + main->copyFolder());
    });
    accept();
}

// Both settings buttons show what the store holds afterwards, so a write
// that failed leaves the old value in view.
void Form7::Command2_Click()
{
    ignoreFailure([this] { writeSetting(Keys::defaultcopydir, directoryValue(Dir1->path())); });
    Label2->setText(QStringLiteral("Default copy DIR: ") + readSetting(Keys::Defaultcopydir));
}

void Form7::Command3_Click()
{
    ignoreFailure([this] { writeSetting(Keys::Startupdir, directoryValue(Dir1->path())); });
    Label3->setText(QStringLiteral("Startup DIR: ") + readSetting(Keys::Startupdir));
}

void Form7::Command4_Click() { createSubDirectory(main->reporting(), *Dir1, kSubDirectory); }

void Form7::Command5_Click() { reject(); }
