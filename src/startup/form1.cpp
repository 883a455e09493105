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
AutoSizeLabel* autoLabel(QWidget* parent, const QString& text, double left, double top)
{
    auto* label = new AutoSizeLabel(parent);
    label->move(twipsToPixelsX(left), twipsToPixelsY(top));
    label->setCaption(text);
    return label;
}

template <typename T>
T* control(QWidget* parent, const QString& text, const QString& tooltip, double left, double top,
           double width, double height)
{
    auto* w = new T(text, parent);
    w->setToolTip(tooltip);
    placeTwips(w, left, top, width, height);
    return w;
}
}

// Two workers: the picture asked for and one more job, beside the
// preloader's own neighbour thread, on a machine that may have two cores.
Form1::Form1() : jobs(std::make_unique<JobPool>(2)), preloader(std::make_unique<PicturePreloader>(*jobs))
{
    setWindowTitle(QStringLiteral("Pixalto"));
    useDesignFont(this);
    resize(twipsToPixelsX(12192), twipsToPixelsY(8664));
    buildControls();
    buildMenus();
    popUp = [](QMenu* menu) { menu->popup(QCursor::pos()); };
}

Form1::~Form1() = default;

void Form1::buildControls()
{
    Drive1 = new DriveList(this);
    Drive1->setToolTip(QStringLiteral("Select a Harddrive"));
    placeTwips(Drive1, 120, 240, 2772, 288);
    Dir1 = new DirList(this);
    Dir1->setToolTip(QStringLiteral("Select a Directory"));
    placeTwips(Dir1, 120, 720, 2772, 2016);
    File1 = new FileList(this);
    File1->setToolTip(QStringLiteral("Select file (right click to view menu)"));
    placeTwips(File1, 120, 2880, 2772, 2760);
    Label6 = autoLabel(this, QStringLiteral("Label6"), 120, 5640);
    Label7 = autoLabel(this, QStringLiteral("Current:"), 1920, 5640);

    Frame1 = new QGroupBox(QStringLiteral("Zoom"), this);
    placeTwips(Frame1, 120, 6000, 2772, 520);
    Option1 = control<QRadioButton>(Frame1, QStringLiteral("1:4"), QStringLiteral("Fourth original size"), 240, 240, 612, 192);
    Option2 = control<QRadioButton>(Frame1, QStringLiteral("1:2"), QStringLiteral("Half original size"), 840, 240, 612, 192);
    Option3 = control<QRadioButton>(Frame1, QStringLiteral("1:1"), QStringLiteral("Original size"), 1440, 240, 612, 192);
    Option4 = control<QRadioButton>(Frame1, QStringLiteral("2:1"), QStringLiteral("Double original size"), 2040, 240, 612, 192);

    Text2 = new QLineEdit(QStringLiteral("10"), this);
    Text2->setToolTip(QStringLiteral("Autoskip interval in seconds"));
    placeTwips(Text2, 120, 6720, 372, 288);
    Label9 = new QLabel(QStringLiteral("sec."), this);
    placeTwips(Label9, 530, 6840, 300, 192);
    Command4 = control<QPushButton>(this, QStringLiteral("&Run"), QStringLiteral("Start autoskip"), 960, 6720, 852, 288);
    Command5 = control<QPushButton>(this, QStringLiteral("&Stop"), QStringLiteral("Stop autoskip"), 2040, 6720, 852, 288);
    Command5->setEnabled(false);
    Command6 = control<QPushButton>(this, QStringLiteral("&Copy"), QStringLiteral("Copy file to clipboard"), 120, 7200, 1332, 372);
    Command3 = control<QPushButton>(this, QStringLiteral("&Paste"), QStringLiteral("Paste data from clipboard"), 1680, 7200, 1212, 372);
    Command2 = control<QPushButton>(this, QStringLiteral("&File Copy"), QStringLiteral("Copy file to destination directory"), 120, 7800, 1332, 372);
    Command7 = control<QPushButton>(this, QStringLiteral("File &Move"), QStringLiteral("Move file to destination directory"), 1680, 7800, 1212, 372);

    Label3 = autoLabel(this, QStringLiteral("Picture size:"), 3000, 0);
    Label5 = autoLabel(this, QStringLiteral("0 x 0"), 3960, 0);
    Label8 = autoLabel(this, QStringLiteral("Pixels"), 4320, 0);

    Image1 = new ImageView(*jobs, this);
    Image1->setToolTip(QStringLiteral("Click on picture for full screen view"));
    placeTwips(Image1, 3000, 240, 8652, 7932);
    Image1->setWidthTwips(8652);
    Image1->setHeightTwips(7932);

    AM1 = new MoviePlayer(this);
    placeTwips(AM1, 3000, 240, 8652, 7932);
    AM1->hide();

    StatusBar1 = new PanelStatusBar(
        {{QStringLiteral("filetype"), QStringLiteral("Click to change file type"), twipsToPixelsX(1500), {}},
         {QStringLiteral("file"), QStringLiteral("Click to view file information"), 0, {}},
         {QStringLiteral("copydes"), QStringLiteral("Click to view DIR Browser"), twipsToPixelsX(3600), {}},
         {QString(), QStringLiteral("Zoom info"), twipsToPixelsX(900), {}}},
        this);
    StatusBar1->setFixedHeight(twipsToPixelsY(252) + 4);

    Timer1 = new QTimer(this);

    File2 = new FileList(this);
    File2->hide();
}

void Form1::buildMenus()
{
    mnufile = new QMenu(QStringLiteral("File"), this);
    mnurename = mnufile->addAction(QStringLiteral("&Rename"));
    mnudelete = mnufile->addAction(QStringLiteral("&Delete"));
    mnufile->addSeparator();
    saveas = mnufile->addAction(QStringLiteral("&Save As..."));
    mnufile->addSeparator();
    oleeditopen = mnufile->addAction(QStringLiteral("&OLE Edit/Open"));
    newwindow = mnufile->addAction(QStringLiteral("&Load in separate &window"));
    mnufile->addSeparator();
    textfile = mnufile->addAction(QStringLiteral("Open text &editor"));
    mnufile->addSeparator();
    mnupattern = mnufile->addAction(QStringLiteral("&Change search pattern"));
    mnufile->addSeparator();
    options = mnufile->addAction(QStringLiteral("Options..."));

    mnuset = new QMenu(QStringLiteral("Settings"), this);
    mnurenamedir = mnuset->addAction(QStringLiteral("Rename"));
    mnuset->addSeparator();
    mnusession = mnuset->addAction(QStringLiteral("&Use as Copy DIR (this session)"));
    mnudefault = mnuset->addAction(QStringLiteral("Set as &Default Copy DIR"));
    mnustartup = mnuset->addAction(QStringLiteral("Set as &Startup DIR"));
    mnusub = mnuset->addAction(QStringLiteral("&Create Sub DIR"));
    mnuset->addSeparator();
    mnuinfolist = mnuset->addAction(QStringLiteral("Create Info List"));
    mnuset->addSeparator();
    mnuhelp = mnuset->addAction(QStringLiteral("Help"));
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

double Form1::outerWidthTwips() const { return pixelsToTwipsX(frameGeometry().width()); }
double Form1::outerHeightTwips() const { return pixelsToTwipsY(frameGeometry().height()); }
