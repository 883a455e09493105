#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "jobs/job_pool.h"
#include "movie/movie_player.h"
#include "picture/picture_preloader.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {
// Each control carries its name as its object name: whatever looks it up in
// the window finds it by that name.
template <typename T>
T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

AutoSizeLabel* autoLabel(const Screen& screen, QWidget* parent, const char* name, const QString& text, double left,
                         double top)
{
    auto* label = named(new AutoSizeLabel(parent), name);
    label->move(screen.twipsToPixelsX(left), screen.twipsToPixelsY(top));
    label->setCaption(text);
    return label;
}

template <typename T>
T* control(const Screen& screen, QWidget* parent, const char* name, const QString& text, const QString& tooltip,
           double left, double top, double width, double height)
{
    auto* w = named(new T(text, parent), name);
    w->setToolTip(tooltip);
    screen.placeTwips(w, left, top, width, height);
    return w;
}
}

// Two workers: the picture asked for and one more job, beside the
// preloader's own neighbour thread, on a machine that may have two cores.
Form1::Form1(const Desktop& desktop)
    : parts(desktop), jobs(std::make_unique<JobPool>(2)), preloader(std::make_unique<PicturePreloader>(*jobs))
{
    setWindowTitle(QStringLiteral("Pixalto"));
    useDesignFont(this);
    resize(desktop.screen->twipsToPixelsX(12192), desktop.screen->twipsToPixelsY(8664));
    buildControls();
    buildMenus();
    popUp = [](QMenu* menu) { menu->popup(QCursor::pos()); };
}

Form1::~Form1()
{
    // Its own dialogs still reach the main window and its secondary windows
    // as they go: they go first, while it is whole, not after its members.
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isWindow())
            const std::unique_ptr<QWidget> going(child);
}

QString Form1::selectedName() const { return File1->fileName(); }

void Form1::buildControls()
{
    const Screen& screen = *desktop().screen;
    Drive1 = named(new DriveList(this), "Drive1");
    Drive1->setToolTip(QStringLiteral("Select a Harddrive"));
    screen.placeTwips(Drive1, 120, 240, 2772, 288);
    Dir1 = named(new DirList(this), "Dir1");
    Dir1->setToolTip(QStringLiteral("Select a Directory"));
    screen.placeTwips(Dir1, 120, 720, 2772, 2016);
    File1 = named(new FileList(this), "File1");
    File1->setToolTip(QStringLiteral("Select file (right click to view menu)"));
    screen.placeTwips(File1, 120, 2880, 2772, 2760);
    Label6 = autoLabel(screen, this, "Label6", QStringLiteral("Label6"), 120, 5640);
    Label7 = autoLabel(screen, this, "Label7", QStringLiteral("Current:"), 1920, 5640);

    Frame1 = named(new QGroupBox(QStringLiteral("Zoom"), this), "Frame1");
    screen.placeTwips(Frame1, 120, 6000, 2772, 520);
    Option1 = control<QRadioButton>(screen, Frame1, "Option1", QStringLiteral("1:4"), QStringLiteral("Fourth original size"), 240, 240, 612, 192);
    Option2 = control<QRadioButton>(screen, Frame1, "Option2", QStringLiteral("1:2"), QStringLiteral("Half original size"), 840, 240, 612, 192);
    Option3 = control<QRadioButton>(screen, Frame1, "Option3", QStringLiteral("1:1"), QStringLiteral("Original size"), 1440, 240, 612, 192);
    Option4 = control<QRadioButton>(screen, Frame1, "Option4", QStringLiteral("2:1"), QStringLiteral("Double original size"), 2040, 240, 612, 192);

    Text2 = named(new QLineEdit(QStringLiteral("10"), this), "Text2");
    Text2->setToolTip(QStringLiteral("Autoskip interval in seconds"));
    screen.placeTwips(Text2, 120, 6720, 372, 288);
    Label9 = named(new QLabel(QStringLiteral("sec."), this), "Label9");
    screen.placeTwips(Label9, 530, 6840, 300, 192);
    Command4 = control<QPushButton>(screen, this, "Command4", QStringLiteral("&Run"), QStringLiteral("Start autoskip"), 960, 6720, 852, 288);
    Command5 = control<QPushButton>(screen, this, "Command5", QStringLiteral("&Stop"), QStringLiteral("Stop autoskip"), 2040, 6720, 852, 288);
    Command5->setEnabled(false);
    Command6 = control<QPushButton>(screen, this, "Command6", QStringLiteral("&Copy"), QStringLiteral("Copy file to clipboard"), 120, 7200, 1332, 372);
    Command3 = control<QPushButton>(screen, this, "Command3", QStringLiteral("&Paste"), QStringLiteral("Paste data from clipboard"), 1680, 7200, 1212, 372);
    Command2 = control<QPushButton>(screen, this, "Command2", QStringLiteral("&File Copy"), QStringLiteral("Copy file to destination directory"), 120, 7800, 1332, 372);
    Command7 = control<QPushButton>(screen, this, "Command7", QStringLiteral("File &Move"), QStringLiteral("Move file to destination directory"), 1680, 7800, 1212, 372);

    Label3 = autoLabel(screen, this, "Label3", QStringLiteral("Picture size:"), 3000, 0);
    Label5 = autoLabel(screen, this, "Label5", QStringLiteral("0 x 0"), 3960, 0);
    Label8 = autoLabel(screen, this, "Label8", QStringLiteral("Pixels"), 4320, 0);

    Image1 = named(new ImageView(*jobs, screen, this), "Image1");
    Image1->setToolTip(QStringLiteral("Click on picture for full screen view"));
    screen.placeTwips(Image1, 3000, 240, 8652, 7932);
    Image1->setWidthTwips(8652);
    Image1->setHeightTwips(7932);

    AM1 = named(new MoviePlayer(this), "AM1");
    screen.placeTwips(AM1, 3000, 240, 8652, 7932);
    AM1->hide();

    StatusBar1 = named(new PanelStatusBar(
        {{QStringLiteral("filetype"), QStringLiteral("Click to change file type"), screen.twipsToPixelsX(1500), {}},
         {QStringLiteral("file"), QStringLiteral("Click to view file information"), 0, {}},
         {QStringLiteral("copydes"), QStringLiteral("Click to view DIR Browser"), screen.twipsToPixelsX(3600), {}},
         {QString(), QStringLiteral("Zoom info"), screen.twipsToPixelsX(900), {}}},
        this), "StatusBar1");
    StatusBar1->setFixedHeight(screen.twipsToPixelsY(252) + 4);

    Timer1 = named(new QTimer(this), "Timer1");

    File2 = named(new FileList(this), "File2");
    File2->hide();
}

void Form1::buildMenus()
{
    mnufile = named(new QMenu(QStringLiteral("File"), this), "mnufile");
    mnurename = named(mnufile->addAction(QStringLiteral("&Rename")), "mnurename");
    mnudelete = named(mnufile->addAction(QStringLiteral("&Delete")), "mnudelete");
    mnufile->addSeparator();
    saveas = named(mnufile->addAction(QStringLiteral("&Save As...")), "saveas");
    mnufile->addSeparator();
    oleeditopen = named(mnufile->addAction(QStringLiteral("&OLE Edit/Open")), "oleeditopen");
    newwindow = named(mnufile->addAction(QStringLiteral("&Load in separate &window")), "newwindow");
    mnufile->addSeparator();
    textfile = named(mnufile->addAction(QStringLiteral("Open text &editor")), "textfile");
    mnufile->addSeparator();
    mnupattern = named(mnufile->addAction(QStringLiteral("&Change search pattern")), "mnupattern");
    mnufile->addSeparator();
    options = named(mnufile->addAction(QStringLiteral("Options...")), "options");

    mnuset = named(new QMenu(QStringLiteral("Settings"), this), "mnuset");
    mnurenamedir = named(mnuset->addAction(QStringLiteral("Rename")), "mnurenamedir");
    mnuset->addSeparator();
    mnusession = named(mnuset->addAction(QStringLiteral("&Use as Copy DIR (this session)")), "mnusession");
    mnudefault = named(mnuset->addAction(QStringLiteral("Set as &Default Copy DIR")), "mnudefault");
    mnustartup = named(mnuset->addAction(QStringLiteral("Set as &Startup DIR")), "mnustartup");
    mnusub = named(mnuset->addAction(QStringLiteral("&Create Sub DIR")), "mnusub");
    mnuset->addSeparator();
    mnuinfolist = named(mnuset->addAction(QStringLiteral("Create Info List")), "mnuinfolist");
    mnuset->addSeparator();
    mnuhelp = named(mnuset->addAction(QStringLiteral("Help")), "mnuhelp");
}

void Form1::setZoomOption(QRadioButton* option)
{
    if (option) {
        option->setChecked(true);
        return;
    }
    // Radio buttons cannot be cleared while they exclude each other.
    for (QRadioButton* o : {Option1, Option2, Option3, Option4}) {
        o->setAutoExclusive(false);
        const QSignalBlocker quiet(o);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A file or an info list still on its way has no window to go to.
    cancelPendingLoads();
    if (infoJob)
        infoJob->cancel();
    // A copy stops between two chunks and takes its temporary file along;
    // the pool's end waits for that.
    if (fileJob)
        fileJob->cancel();
    Form_Unload();
    event->accept();
}

void Form1::resizeEvent(QResizeEvent* event)
{
    // The status bar is aligned to the bottom edge; everything else keeps its
    // design position.
    StatusBar1->setGeometry(0, height() - StatusBar1->height(), width(), StatusBar1->height());
    QWidget::resizeEvent(event);
}

double Form1::outerWidthTwips() const { return desktop().screen->pixelsToTwipsX(frameGeometry().width()); }
double Form1::outerHeightTwips() const { return desktop().screen->pixelsToTwipsY(frameGeometry().height()); }
