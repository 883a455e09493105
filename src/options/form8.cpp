#include "options/form8.h"

#include "core/program_info.h"
#include "desktop/screen.h"
#include "movie/mpv_version.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {
QString aboutText(const QString& mpvVersion)
{
    return QStringList{
        QStringLiteral("Pixalto"),
        QStringLiteral("Version ") + ProgramInfo::version(),
        QStringLiteral("Orvenko Soft"),
        QString(),
        QStringLiteral("User: ") + readSetting(Keys::User),
        QString(),
        QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
        QStringLiteral("libmpv client API ") + mpvVersion,
    }.join(QLatin1Char('\n'));
}
}

Form8::Form8(const Screen& screen, QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("About Pixalto"));
    useDesignFont(this);
    setFixedSize(screen.twipsToPixelsX(5400), screen.twipsToPixelsY(3720));

    // The movie library is loaded only when first needed; its line fills in
    // once it is.
    Text1 = new QPlainTextEdit(aboutText(QStringLiteral("...")), this);
    whenMpvVersionKnown(this, [this](const QString& version) { Text1->setPlainText(aboutText(version)); });
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    screen.placeTwips(Text1, 120, 120, 5160, 2880);
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setDefault(true);
    screen.placeTwips(Command1, 4068, 3180, 1212, 372);
    connect(Command1, &QPushButton::clicked, this, &Form8::Command1_Click);
}

void Form8::showModal(const Screen& screen)
{
    Form8 form(screen);
    form.exec();
}

void Form8::Command1_Click() { accept(); }
