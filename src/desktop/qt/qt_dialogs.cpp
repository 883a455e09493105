#include "desktop/qt/qt_dialogs.h"

#include "core/failure.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace {
// The window a dialog belongs to: the active one or, between a box closing
// and the window system giving the activation back, the one the last dialog
// belonged to, so that a dialog never falls behind a window kept on top.
QWidget* dialogOwner()
{
    static QPointer<QWidget> last;
    if (QWidget* active = QApplication::activeWindow())
        last = active;
    return last && last->isVisible() ? last.data() : nullptr;
}

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
void offerHelp(HelpViewer& help, QDialog& dialog, QDialogButtonBox* buttons, const QString& file, int topic)
{
    if (file.isEmpty() || !buttons)
        return;
    const auto show = [&help, file, topic] { help.showTopic(file, topic); };
    QObject::connect(buttons->addButton(QDialogButtonBox::Help), &QPushButton::clicked, &dialog, show);
    QObject::connect(new QShortcut(QKeySequence::HelpContents, &dialog), &QShortcut::activated, &dialog, show);
}

// The width the window manager needs for the title with its bold font, the
// icon and the buttons beside it.
int titleWidth(const QString& title)
{
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPointSizeF(qMax(font.pointSizeF(), 10.0));
    return QFontMetrics(font).horizontalAdvance(title) + 140;
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

QString wrapEvenly(const QString& text, const QFontMetrics& metrics, int maxWidth)
{
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int width = metrics.horizontalAdvance(line);
        if (width <= maxWidth) {
            out.append(line);
            continue;
        }
        // As many lines as the text needs, each about as long as the others.
        const int lines = (width + maxWidth - 1) / maxWidth;
        const int target = width / lines;
        QString current;
        for (const QString& word : line.split(QLatin1Char(' '))) {
            const QString joined = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && metrics.horizontalAdvance(joined) > maxWidth) {
                out.append(current);
                current = word;
            } else {
                current = joined;
            }
            if (metrics.horizontalAdvance(current) >= target) {
                out.append(current);
                current.clear();
            }
        }
        if (!current.isEmpty())
            out.append(current);
    }
    return out.join(QLatin1Char('\n'));
}

MsgResult QtDialogs::messageBox(const MessageBoxRequest& r)
{
    QWidget* parent = dialogOwner();
    const QScreen* display = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int screenWidth = display->availableGeometry().width();
    const int textWidth = qMin(480, screenWidth - 120);
    QMessageBox box(qtIcon(r.icon), r.title,
                    wrapEvenly(displayLines(r.text), QFontMetrics(QApplication::font()), textWidth),
                    QMessageBox::NoButton, parent);
    // The box sizes itself to its text; a long title would be cut.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(qMin(titleWidth(r.title), screenWidth - 20), 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
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
    QDialog dialog(dialogOwner());
    dialog.setWindowTitle(r.title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* prompt = new QLabel(displayLines(r.prompt), &dialog);
    prompt->setWordWrap(true);
    layout->addWidget(prompt);
    auto* edit = new QLineEdit(r.defaultText, &dialog);
    edit->selectAll();
    layout->addWidget(edit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    offerHelp(help, dialog, buttons, r.helpFile, r.helpTopic);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(qMax(dialog.sizeHint().width(), 420), dialog.sizeHint().height());
    if (r.positionTwips)
        dialog.move(screen.twipsToPixelsX(r.positionTwips->x()), screen.twipsToPixelsY(r.positionTwips->y()));
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
    QFileDialog dialog(dialogOwner(), r.title, r.folder);
    // Qt's own dialog, the only one that takes a Help button; the filter
    // names already carry their patterns.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(r.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(r.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // After the accept mode, which sets the dialog's buttons anew.
    offerHelp(help, dialog, dialog.findChild<QDialogButtonBox*>(), r.helpFile, r.helpTopic);
    const QStringList filters = qtNameFilters(r.filter);
    dialog.setNameFilters(filters);
    if (r.filterIndex >= 1 && r.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(r.filterIndex - 1));
    if (!r.defaultExt.isEmpty())
        dialog.setDefaultSuffix(r.defaultExt);
    if (!r.fileName.isEmpty())
        dialog.selectFile(r.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        Errors::raise(Errors::dialogCancelled());
    // With the details hidden the chosen filter may come back by its name alone.
    const QString chosen = dialog.selectedNameFilter();
    qsizetype index = filters.indexOf(chosen);
    for (qsizetype i = 0; index < 0 && i < filters.size(); ++i)
        if (filters.at(i).startsWith(chosen + QStringLiteral(" (")))
            index = i;
    return {dialog.selectedFiles().first(), int(index) + 1};
}

void QtDialogs::beep() { QApplication::beep(); }
