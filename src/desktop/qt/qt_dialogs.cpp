#include "desktop/qt/qt_dialogs.h"

#include "core/failure.h"
#include "desktop/desktop.h"
#include "desktop/screen.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
QMessageBox::Icon qtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QList<QMessageBox::StandardButton> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK: return {QMessageBox::Ok};
    case MsgButtons::OKCancel: return {QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo: return {QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::YesNoCancel: return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

// A Help button and F1, both opening the help file at the request's topic;
// nothing when the request names no help file.
void offerHelp(QDialog& dialog, QDialogButtonBox* buttons, const QString& file, int topic)
{
    if (file.isEmpty() || !buttons)
        return;
    const auto show = [file, topic] { desktop().help->showTopic(file, topic); };
    QObject::connect(buttons->addButton(QDialogButtonBox::Help), &QPushButton::clicked, &dialog, show);
    QObject::connect(new QShortcut(QKeySequence::HelpContents, &dialog), &QShortcut::activated, &dialog, show);
}

MsgResult resultOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    default: return MsgResult::OK;
    }
}
}

QString displayLines(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

MsgResult QtDialogs::messageBox(const MessageBoxRequest& r)
{
    QMessageBox box(qtIcon(r.icon), r.title, displayLines(r.text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    const auto buttons = buttonsOf(r.buttons);
    for (auto b : buttons)
        box.addButton(b);
    const int index = qBound(1, r.defaultButton, int(buttons.size())) - 1;
    box.setDefaultButton(buttons.at(index));
    if (buttons.contains(QMessageBox::Cancel))
        box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    return resultOf(box.standardButton(box.clickedButton()));
}

QString QtDialogs::inputBox(const InputBoxRequest& r)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(r.title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* prompt = new QLabel(displayLines(r.prompt), &dialog);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* edit = new QLineEdit(r.defaultText, &dialog);
    edit->selectAll();
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    offerHelp(dialog, buttons, r.helpFile, r.helpTopic);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(qMax(dialog.sizeHint().width(), 420), dialog.sizeHint().height());
    if (r.positionTwips)
        dialog.move(twipsToPixelsX(r.positionTwips->x()), twipsToPixelsY(r.positionTwips->y()));
    return dialog.exec() == QDialog::Accepted ? edit->text() : QString();
}

QStringList qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

FileDialogResult QtDialogs::fileDialog(const FileDialogRequest& r)
{
    QFileDialog dialog(QApplication::activeWindow(), r.title, r.folder);
    // Qt's own dialog, the only one that takes a Help button; the filter
    // names already carry their patterns.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    offerHelp(dialog, dialog.findChild<QDialogButtonBox*>(), r.helpFile, r.helpTopic);
    dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = qtNameFilters(r.filter);
    dialog.setNameFilters(filters);
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(r.filterIndex - 1));
    if (!r.defaultExt.isEmpty())
        dialog.setDefaultSuffix(r.defaultExt);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        Errors::raise({32755, QStringLiteral("Cancel was selected.")});
    // With the details hidden the chosen filter may come back by its name alone.
    const QString chosen = dialog.selectedNameFilter();
    qsizetype index = filters.indexOf(chosen);
    for (qsizetype i = 0; index < 0 && i < filters.size(); ++i)
        if (filters.at(i).startsWith(chosen + QStringLiteral(" (")))
            index = i;
    return {dialog.selectedFiles().first(), int(index) + 1};
}

void QtDialogs::beep() { QApplication::beep(); }
