#include "fileops/form13.h"

#include "controls/auto_size_label.h"
#include "controls/file_list.h"
#include "controls/status_bar.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "settings/keys.h"
#include "settings/settings_store.h"
#include "startup/defaults.h"
#include "startup/form1.h"
#include "startup/secondary_windows.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QString pictureCaption(const QString& pattern) { return QStringLiteral("Picture files (") + pattern + QLatin1Char(')'); }
QString animationCaption(const QString& pattern) { return QStringLiteral("Animation files (") + pattern + QLatin1Char(')'); }

QString storedOr(const QString& key, const QString& fallback)
{
    const QString value = readSetting(key);
    return value.isEmpty() ? fallback : value;
}

// SetPic and SetAni ask alike; the empty text means Cancel.
QString askPattern(Dialogs& dialogs, const QString& kind, const QString& example, const QString& current)
{
    return dialogs.inputBox({QStringLiteral("Enter new ") + kind + QStringLiteral(" pattern") + CR + CR
                                 + QStringLiteral("Example: ") + example,
                             kind + QStringLiteral(" pattern change"), current, std::nullopt, {}, 0});
}

QPushButton* button(const Screen& screen, QWidget* parent, const QString& caption, double left)
{
    auto* b = new QPushButton(caption, parent);
    b->setAutoDefault(false);
    screen.placeTwips(b, left, 1560, 1140, 372);
    return b;
}
}

Form13::Form13(Form1* mainWindow) : QDialog(mainWindow), main(mainWindow)
{
    setWindowTitle(QStringLiteral("Filetype Select"));
    useDesignFont(this);
    const Screen& screen = *main->desktop().screen;
    setFixedSize(screen.twipsToPixelsX(6540), screen.twipsToPixelsY(2052));

    Frame1 = new QGroupBox(QStringLiteral("Please select filetype"), this);
    screen.placeTwips(Frame1, 120, 60, 6300, 1380);
    Option1 = new QRadioButton(QStringLiteral("Picture files (*.bmp;*.jpg;*.jpeg;*.gif;*.wmf;*.emf;*.ico)"), Frame1);
    Option1->setToolTip(QStringLiteral("Click to select picture files"));
    screen.placeTwips(Option1, 240, 360, 5940, 360);
    Option2 = new QRadioButton(QStringLiteral("Animation files (*.avi;*.mpg;*.mpeg;*.mov;*.viv;*.qm)"), Frame1);
    Option2->setToolTip(QStringLiteral("Click to select animation files"));
    screen.placeTwips(Option2, 240, 840, 5940, 360);

    Command5 = button(screen, this, QStringLiteral("SetPic"), 120);
    Command4 = button(screen, this, QStringLiteral("SetAni"), 1380);
    Command6 = button(screen, this, QStringLiteral("Defaults"), 2640);
    Command3 = button(screen, this, QStringLiteral("Help"), 3900);
    Command1 = button(screen, this, QStringLiteral("OK"), 5280);
    Command1->setToolTip(QStringLiteral("Accept selected file type"));
    Command1->setDefault(true);
    setTabOrder(Option1, Option2);

    connect(Command1, &QPushButton::clicked, this, &Form13::Command1_Click);
    connect(Command3, &QPushButton::clicked, this, &Form13::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form13::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form13::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form13::Command6_Click);

    Form_Load();
}

Form13::~Form13()
{
    // A window torn down without closing still gives the other windows
    // their place back.
    if (!unloaded)
        Form_Unload();
}

const Desktop& Form13::desktop() const { return main->desktop(); }

void Form13::showModal(Form1* main)
{
    Form13 form(main);
    form.exec();
}

void Form13::Form_Load()
{
    ignoreFailure([this] { main->secondaryWindows().switchOnTop(false); });
    CommonDialog1HelpFile = ProgramInfo::helpFile();
    ignoreFailure([this] {
        const QString pattern = readSetting(Keys::PicPattern);
        if (!pattern.isEmpty())
            Option1->setText(pictureCaption(pattern));
    });
    ignoreFailure([this] {
        const QString pattern = readSetting(Keys::AniPattern);
        if (!pattern.isEmpty())
            Option2->setText(animationCaption(pattern));
    });
    // The picture option is first in the focus order: it takes the focus
    // and with it the selection.
    Option1->setChecked(true);
    Option1->setFocus();
}

void Form13::Form_Unload()
{
    unloaded = true;
    // Only a user who wants the windows on top gets them back on top; the
    // others keep ordinary windows.
    ignoreFailure([this] { main->secondaryWindows().switchOnTop(settingIsOne(Keys::OnTop)); });
}

void Form13::done(int result)
{
    if (!unloaded)
        Form_Unload();
    QDialog::done(result);
}

void Form13::Command5_Click()
{
    const QString answer = askPattern(*desktop().dialogs, QStringLiteral("Picture"),
                                      QStringLiteral("*.jpg;*.bmp;*.gif"),
                                      storedOr(Keys::PicPattern, Defaults::picturePattern()));
    if (answer.isEmpty())
        return;
    Label1 = answer;
    Option1->setText(pictureCaption(answer));
}

void Form13::Command4_Click()
{
    const QString answer = askPattern(*desktop().dialogs, QStringLiteral("Animation"),
                                      QStringLiteral("*.avi;*.mov;*.mpg"),
                                      storedOr(Keys::AniPattern, Defaults::animationPattern()));
    if (answer.isEmpty())
        return;
    Label2 = answer;
    Option2->setText(animationCaption(answer));
}

void Form13::Command6_Click()
{
    const MsgResult answer = desktop().dialogs->messageBox(
        {QStringLiteral("This will delete the current user selected pattern settings and reload the defaults")
             + CR + CR + QStringLiteral("Do you wish to continue?"),
         MsgButtons::YesNo, MsgIcon::Question, 2, QStringLiteral("Reload default pattern settings")});
    if (answer != MsgResult::Yes)
        return;
    Label1.clear();
    Label2.clear();
    writeSetting(Keys::PicPattern, QString());
    writeSetting(Keys::AniPattern, QString());
    Option1->setText(pictureCaption(Defaults::picturePattern()));
    Option2->setText(animationCaption(Defaults::animationPattern()));
}

void Form13::Command3_Click() { desktop().help->showTopic(CommonDialog1HelpFile, 5); }

void Form13::Command1_Click()
{
    if (!Label1.isEmpty())
        writeSetting(Keys::PicPattern, Label1);
    if (!Label2.isEmpty())
        writeSetting(Keys::AniPattern, Label2);
    applyKind();
    main->showFileCount();
    main->showCurrent();
    accept();
}

void Form13::applyKind()
{
    const bool pictures = Option1->isChecked();
    main->setFileKind(pictures, pictures ? storedOr(Keys::PicPattern, Defaults::picturePattern())
                                         : storedOr(Keys::AniPattern, Defaults::animationPattern()));
}
