#include "fileops/form10.h"

#include "core/file_system.h"
#include "core/locale_text.h"
#include "core/paths.h"
#include "desktop/screen.h"
#include "fileops/file_commands.h"
#include "fileops/main_files.h"
#include "startup/form1.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
// This window's rename and delete report in their box only, under a plain
// "ERROR " title.
const CommandReport kRename{{QStringLiteral("ERROR "), QStringLiteral("Unknown File Rename ERROR"),
                             FileCommandText::renameFailed},
                            Beep::Sound, CommandReport::Record::Described, Logging::BoxOnly};
const CommandReport kDelete{{QStringLiteral("ERROR "), QStringLiteral("Unknown File Delete ERROR"),
                             FileCommandText::deleteFailed},
                            Beep::Sound, CommandReport::Record::Described, Logging::BoxOnly};

const QString kNoFile = QStringLiteral("No file selected");

QLabel* label(const Screen& screen, QWidget* parent, const QString& caption, double left, double top, double width)
{
    auto* l = new QLabel(caption, parent);
    screen.placeTwips(l, left, top, width, 255);
    return l;
}

QCheckBox* checkBox(const Screen& screen, QWidget* parent, const QString& caption, double left)
{
    auto* c = new QCheckBox(caption, parent);
    screen.placeTwips(c, left, 1740, 1260, 300);
    return c;
}

QPushButton* button(const Screen& screen, QWidget* parent, const QString& caption, double left)
{
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    screen.placeTwips(b, left, 2520, 1212, 372);
    return b;
}

QFrame* line(const Screen& screen, QWidget* parent, double top)
{
    auto* l = new QFrame(parent);
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    screen.placeTwips(l, 120, top, 5160, 30);
    return l;
}
}

int tickedAttributes(int value)
{
    const bool plain = (value >= 0 && value <= 7) || (value >= 32 && value <= 39);
    return plain ? value : 0;
}

Form10::Form10(Form1* mainWindow) : QDialog(mainWindow), main(mainWindow)
{
    setWindowTitle(QStringLiteral("File Information"));
    useDesignFont(this);
    const Screen& screen = *main->desktop().screen;
    setFixedSize(screen.twipsToPixelsX(5400), screen.twipsToPixelsY(3060));

    Label1 = label(screen, this, QStringLiteral("Filename:"), 120, 120, 1080);
    Label5 = label(screen, this, kNoFile, 1260, 120, 4020);
    Label4 = label(screen, this, QStringLiteral("Location:"), 120, 420, 1080);
    Label6 = label(screen, this, kNoFile, 1260, 420, 4020);
    Label2 = label(screen, this, QStringLiteral("Filesize:"), 120, 720, 1080);
    Label7 = label(screen, this, kNoFile, 1260, 720, 4020);
    Label3 = label(screen, this, QStringLiteral("Changed:"), 120, 1020, 1080);
    Label8 = label(screen, this, kNoFile, 1260, 1020, 4020);
    Line1 = line(screen, this, 1350);
    Label9 = label(screen, this, QStringLiteral("File attributes:"), 120, 1440, 5160);
    Check1 = checkBox(screen, this, QStringLiteral("Archive"), 120);
    Check2 = checkBox(screen, this, QStringLiteral("Read-only"), 1440);
    Check3 = checkBox(screen, this, QStringLiteral("Hidden"), 2760);
    Check4 = checkBox(screen, this, QStringLiteral("System"), 4080);
    Line2 = line(screen, this, 2340);
    Command1 = button(screen, this, QStringLiteral("Rename..."), 120);
    Command2 = button(screen, this, QStringLiteral("Delete"), 2094);
    Command3 = button(screen, this, QStringLiteral("OK"), 4068);
    Command3->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &Form10::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form10::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form10::Command3_Click);

    Form_Load();
}

void Form10::showModal(Form1* main)
{
    Form10 form(main);
    form.exec();
}

void Form10::Form_Load()
{
    if (main->shownPath().isEmpty())
        return;
    // The first step that fails (the file vanished) leaves the rest as they
    // are, silently.
    ignoreFailure([this] {
        const QString file = main->shownPath();
        Label5->setText(main->selectedName());
        Label6->setText(withTrailingSeparator(main->files().listFolder()));
        Label7->setText(groupedNumber(FileSystem::length(file)) + QStringLiteral(" bytes"));
        Label8->setText(generalDate(FileSystem::changeTime(file)));
        const int ticks = tickedAttributes(FileSystem::attributes(file));
        Check1->setChecked(ticks & FileSystem::Archive);
        Check2->setChecked(ticks & FileSystem::ReadOnly);
        Check3->setChecked(ticks & FileSystem::Hidden);
        Check4->setChecked(ticks & FileSystem::System);
    });
}

void Form10::Command1_Click()
{
    renameCurrentFile(*main, kRename, std::nullopt);
    accept();
}

void Form10::Command2_Click()
{
    deleteCurrentFile(*main, kDelete);
    accept();
}

void Form10::Command3_Click()
{
    if (!main->shownPath().isEmpty()) {
        const int value = (Check1->isChecked() ? FileSystem::Archive : 0)
                        + (Check2->isChecked() ? FileSystem::ReadOnly : 0)
                        + (Check3->isChecked() ? FileSystem::Hidden : 0)
                        + (Check4->isChecked() ? FileSystem::System : 0);
        ignoreFailure([&] { FileSystem::setAttributes(main->shownPath(), value); });
    }
    accept();
}
