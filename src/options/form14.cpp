#include "options/form14.h"

#include "core/failure.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"
#include "options/form8.h"
#include "options/preference_state.h"
#include "settings/keys.h"
#include "settings/program_log.h"
#include "settings/settings_store.h"
#include "startup/secondary_windows.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>

namespace {
const double kLeftColumn = 240;
const double kRightColumn = 4560;
const double kRows[] = {360, 1440, 2520, 3600};
}

Form14::Form14(QWidget* owner, const SecondaryWindows& windows) : QDialog(owner), windows(windows)
{
    setWindowTitle(QStringLiteral("Options"));
    useDesignFont(this);
    const Screen& screen = *desktop().screen;
    setFixedSize(screen.twipsToPixelsX(8892), screen.twipsToPixelsY(5256));

    Frame5 = frame(QStringLiteral("Auto Zoom"), kLeftColumn, kRows[0], Check2,
                   QStringLiteral("Shrink large pictures"), Command5, 24);
    Frame4 = frame(QStringLiteral("OLE activation"), kRightColumn, kRows[0], Check1,
                   QStringLiteral("OLE activate picture on errors"), Command4, 25);
    Frame6 = frame(QStringLiteral("AutoSkip restart"), kLeftColumn, kRows[1], Check3,
                   QStringLiteral("Restart at bottom of filelist"), Command6, 26);
    Frame7 = frame(QStringLiteral("User name"), kRightColumn, kRows[1], Check4, QStringLiteral("Required at startup"),
                   Command7, 27);
    Frame8 = frame(QStringLiteral("Delete Confirmation"), kLeftColumn, kRows[2], Check5,
                   QStringLiteral("Confirmation is required"), Command9, 28);
    Frame9 = frame(QStringLiteral("Move Confirmation"), kRightColumn, kRows[2], Check6,
                   QStringLiteral("Confirmation is required"), Command10, 29);
    Frame10 = frame(QStringLiteral("Separate Window"), kLeftColumn, kRows[3], Check7,
                    QStringLiteral("Keep window on top"), Command15, 31);
    Frame11 = frame(QStringLiteral("Systray Icon"), kRightColumn, kRows[3], Check8,
                    QStringLiteral("Display icon in Systray"), Command16, 32);
    Command5->setToolTip(QStringLiteral("Show information about Auto Zoom"));
    Command4->setToolTip(QStringLiteral("Show information about OLE activation"));
    Command6->setToolTip(QStringLiteral("Show information about AutoSkip"));

    // The user-name frame makes room for its Change button.
    Check4->resize(screen.twipsToPixelsX(1920), Check4->height());
    Command8 = new QPushButton(QStringLiteral("Change"), Frame7);
    Command8->setAutoDefault(false);
    screen.placeTwips(Command8, 2100, 300, 912, 372);
    helpTopics.insert(Command8, 27);
    connect(Command8, &QPushButton::clicked, this, &Form14::Command8_Click);

    Command3 = bottomButton(QStringLiteral("OK"), 240, 7);
    Command3->setToolTip(QStringLiteral("Close this window"));
    Command3->setDefault(true);
    Command11 = bottomButton(QStringLiteral("Cancel"), 2040, 7);
    Command13 = bottomButton(QStringLiteral("&Help"), 3840, 0);
    Command12 = bottomButton(QStringLiteral("Special..."), 5640, 30);
    Command14 = bottomButton(QStringLiteral("&About..."), 7440, 33);
    connect(Command3, &QPushButton::clicked, this, &Form14::Command3_Click);
    connect(Command11, &QPushButton::clicked, this, &Form14::Command11_Click);
    connect(Command13, &QPushButton::clicked, this, &Form14::Command13_Click);
    connect(Command12, &QPushButton::clicked, this, &Form14::Command12_Click);
    connect(Command14, &QPushButton::clicked, this, &Form14::Command14_Click);

    Form_Load();
}

Form14::~Form14()
{
    // A window torn down without closing still gives the other windows
    // their place back.
    if (!unloaded)
        Form_Unload();
}

const Desktop& Form14::desktop() const { return windows.desktop(); }

void Form14::showModal(QWidget* owner, const SecondaryWindows& windows)
{
    Form14 form(owner, windows);
    form.exec();
}

QGroupBox* Form14::frame(const QString& caption, double left, double top, QCheckBox*& box,
                         const QString& boxCaption, QPushButton*& help, int topic)
{
    const Screen& screen = *desktop().screen;
    auto* f = new QGroupBox(caption, this);
    screen.placeTwips(f, left, top, 4092, 852);
    box = new QCheckBox(boxCaption, f);
    screen.placeTwips(box, 120, 330, 2880, 300);
    help = new QPushButton(QStringLiteral("Help"), f);
    help->setAutoDefault(false);
    screen.placeTwips(help, 3120, 300, 852, 372);
    // A greyed box becomes an ordinary one once the user clicks it.
    connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    connect(help, &QPushButton::clicked, this, [this, topic] {
        desktop().help->showTopic(CommonDialog1HelpFile, topic);
    });
    helpTopics.insert(box, topic);
    return f;
}

QPushButton* Form14::bottomButton(const QString& caption, double left, int topic)
{
    auto* b = new QPushButton(caption, this);
    b->setAutoDefault(false);
    desktop().screen->placeTwips(b, left, 4680, 1212, 372);
    if (topic > 0)
        helpTopics.insert(b, topic);
    return b;
}

QList<Form14::Preference> Form14::preferences() const
{
    return {{Check1, Keys::OLE},
            {Check2, Keys::AutoZoom},
            {Check3, Keys::AutoSkip},
            {Check4, Keys::UserReq},
            {Check5, Keys::DelConfirmation},
            {Check6, Keys::MoveConfirmation},
            {Check7, Keys::OnTop},
            {Check8, Keys::Systray}};
}

void Form14::showUserName(const QString& name)
{
    Frame7->setTitle(QStringLiteral("User name (current: ") + name + QLatin1Char(')'));
}

void Form14::Form_Load()
{
    ignoreFailure([this] { windows.switchOnTop(false); });
    CommonDialog1HelpFile = ProgramInfo::helpFile();
    for (const Preference& p : preferences()) {
        // A value that is no state leaves its box clear.
        if (const std::optional<Qt::CheckState> state = checkStateFromSetting(readSetting(p.key))) {
            p.box->setTristate(*state == Qt::PartiallyChecked);
            p.box->setCheckState(*state);
        }
        openedStates.insert(p.box, p.box->checkState());
    }
    showUserName(readSetting(Keys::User));
}

void Form14::Form_Unload()
{
    unloaded = true;
    // Only a user who wants the windows on top gets them back on top.
    ignoreFailure([this] { windows.switchOnTop(settingIsOne(Keys::OnTop)); });
}

void Form14::done(int result)
{
    if (!unloaded)
        Form_Unload();
    QDialog::done(result);
}

void Form14::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        const int topic = helpTopics.value(focusWidget(), 0);
        if (topic > 0)
            desktop().help->showTopic(CommonDialog1HelpFile, topic);
        return;
    }
    QDialog::keyPressEvent(event);
}

void Form14::Command3_Click()
{
    for (const Preference& p : preferences()) {
        // A box left as it opened takes what the file holds now, so that a
        // change another copy of the program made meanwhile is not undone.
        const Qt::CheckState state = p.box->checkState() != openedStates.value(p.box)
                                       ? p.box->checkState()
                                       : checkStateFromSetting(readSetting(p.key)).value_or(Qt::Unchecked);
        writeSetting(p.key, settingFromCheckState(state));
    }
    accept();
}

void Form14::Command11_Click() { reject(); }

void Form14::Command8_Click()
{
    const QString answer = desktop().dialogs->inputBox(
        {QStringLiteral("Enter a new User name (Capital letters will be remembered)"), QStringLiteral("User change"),
         QString(), std::nullopt, QString(), 0});
    if (answer.isEmpty())
        return;
    writeSetting(Keys::User, answer);
    showUserName(answer);
    ProgramLog& log = windows.programLog();
    log.emptyRecord();
    log.record(QStringLiteral("User name changed to: ") + answer);
    log.emptyRecord();
}

void Form14::Command12_Click()
{
    const QString answer = desktop().dialogs->inputBox(
        {QStringLiteral("Enter Pixalto special setting information.") + CR
             + QStringLiteral("This function is only to be used by Orvenko Soft") + CR
             + QStringLiteral("or if you have been instructed by Orvenko Soft"),
         QStringLiteral("Pixalto - Special setting entry"), QString(), std::nullopt, CommonDialog1HelpFile, 30});
    if (!answer.isEmpty())
        writeSetting(Keys::SpcSetting, answer);
}

void Form14::Command13_Click() { desktop().help->showContents(CommonDialog1HelpFile); }

void Form14::Command14_Click() { Form8::showModal(*desktop().screen); }
