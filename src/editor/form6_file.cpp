#include "editor/form6.h"

#include "core/file_system.h"
#include "core/program_info.h"
#include "desktop/desktop.h"
#include "desktop/keep_on_top.h"
#include "desktop/screen.h"
#include "editor/editor_font.h"
#include "editor/paced_layout.h"
#include "editor/plain_text.h"
#include "editor/rtf/rtf.h"
#include "jobs/cross_thread.h"
#include "report/error_report.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <memory>
#include <optional>

namespace {
const QString kFilter = QStringLiteral("Text files (*.txt)|*.txt|Richtext files (*.rtf)|*.rtf");
const QString kTxt = QStringLiteral("txt");
const QString kRtf = QStringLiteral("rtf");

// The filter index chosen in the dialog decides the format, not the name.
bool richIndex(int filterIndex) { return filterIndex != 1; }

// The largest document the editor opens: the text box holds the whole text
// laid out, several times the file's size, and lays it out on the window's
// thread.
constexpr qint64 kLargestDocument = 16 * 1024 * 1024;

// A failed open ends quietly, but a file refused for what it is (a pipe, a
// device, too large) is named in a box, since nothing else would tell the
// user why it did not open.
bool refusedForWhatItIs(const Failure& failure)
{
    return failure.number == Errors::notPlainFile().number || failure.number == Errors::fileTooLarge(0).number;
}

// The settings every document of the editor starts with; made on any thread.
QTextDocument* newDocument(const QFont& font, qreal tabStop)
{
    auto* document = new QTextDocument;
    document->setDefaultFont(font);
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(tabStop);
    document->setDefaultTextOption(option);
    return document;
}

struct Opened {
    std::unique_ptr<QTextDocument> document;
    QList<LeftOutPicture> leftOut;
    std::optional<Failure> refusal;
};
}

QTextDocument* Form6::emptyDocument()
{
    QTextDocument* document = newDocument(editorFont(), desktop().screen->twipsToPixelsX(720));
    document->setParent(RichTextBox1);
    return document;
}

void Form6::installDocument(QTextDocument* document)
{
    // The box deletes the document it made itself; the loaded ones are ours.
    QTextDocument* old = RichTextBox1->document();
    const std::unique_ptr<QTextDocument> replaced(old->parent() == RichTextBox1 ? old : nullptr);
    RichTextBox1->setDocument(document);
    paceLayout(RichTextBox1);
}

void Form6::setSavedState(const QString& path, bool rich)
{
    Label1 = path;
    Label2.clear();
    Label3 = rich ? kRtf : kTxt;
    setPanel(1, path);
    setPanel(3, QStringLiteral("Unchanged"));
    setPanel(4, rich ? QStringLiteral("RTF") : QStringLiteral("TXT"));
}

bool Form6::saveDocument(const QString& path, bool rich)
{
    try {
        const QTextDocument& document = *RichTextBox1->document();
        FileSystem::writeFile(path, rich ? writeRtf(document) : withoutPictures(document.toPlainText()).toUtf8());
        return true;
    } catch (const PxError& e) {
        reportError(reporting(),
                    {QStringLiteral("Save ERROR "), QStringLiteral("Unknown Save ERROR"),
                     QStringLiteral("The document could not be saved as ") + path
                         + QStringLiteral(". The file keeps its former contents.")},
                    e.failure);
        return false;
    }
}

void Form6::askToSave()
{
    if (Label2 != QLatin1String("1"))
        return;
    const MessageBoxRequest question{
        QStringLiteral("The files has changed") + CR + CR + QStringLiteral("Do you want to save the changes"),
        MsgButtons::YesNo, MsgIcon::Information, 1, QStringLiteral("Save file?")};
    if (desktop().dialogs->messageBox(question) == MsgResult::Yes)
        savefile();
}

FileDialogResult Form6::chooseFile(bool save, int helpTopic)
{
    CommonDialog2.save = save;
    CommonDialog2.filter = kFilter;
    CommonDialog2.helpFile = ProgramInfo::helpFile();
    CommonDialog2.helpTopic = helpTopic;
    const FileDialogResult chosen = desktop().dialogs->fileDialog(CommonDialog2);
    // The dialog opens on the last choice next time.
    CommonDialog2.filterIndex = chosen.filterIndex;
    CommonDialog2.fileName = chosen.path;
    return chosen;
}

void Form6::openfile()
{
    setPanel(2, QStringLiteral("Opening file"));
    try {
        const FileDialogResult chosen = chooseFile(false, 34);
        startOpening(chosen.path, richIndex(chosen.filterIndex));
        return;
    } catch (const PxError&) {
    }
    setPanel(2, QStringLiteral("Ready"));
}

void Form6::startOpening(const QString& path, bool rich)
{
    if (opener.joinable())
        opener.join();
    setEnabled(false);
    openerCancelled = false;
    const QFont font = editorFont();
    const qreal tabStop = desktop().screen->twipsToPixelsX(720);
    QThread* windowThread = thread();
    opener = std::thread([this, path, rich, font, tabStop, windowThread] {
        auto opened = std::make_shared<Opened>();
        try {
            const QByteArray bytes = FileSystem::readFile(path, kLargestDocument);
            std::unique_ptr<QTextDocument> document(newDocument(font, tabStop));
            bool read = true;
            if (rich) {
                QTextCursor cursor(document.get());
                read = insertRtf(cursor, bytes, &opened->leftOut, &openerCancelled);
            } else {
                document->setPlainText(decodePlainText(bytes));
            }
            // A file that is no rich text leaves the document as it was.
            if (read) {
                document->moveToThread(windowThread);
                opened->document = std::move(document);
            }
        } catch (const PxError& e) {
            if (refusedForWhatItIs(e.failure))
                opened->refusal = e.failure;
        }
        // Dropped, and the document with it, when the editor has gone.
        CrossThread::post(this, [this, path, rich, opened] {
            finishOpening(path, rich, opened->document.release(), opened->leftOut, opened->refusal);
        });
    });
}

void Form6::finishOpening(const QString& path, bool rich, QTextDocument* document, const QList<LeftOutPicture>& leftOut,
                          const std::optional<Failure>& refusal)
{
    opener.join();
    setEnabled(true);
    if (refusal)
        reportError(reporting(),
                    {QStringLiteral("Open ERROR "), QStringLiteral("Unknown Open ERROR"),
                     QStringLiteral("The file ") + path + QStringLiteral(" could not be opened.")},
                    *refusal);
    if (document) {
        document->setParent(RichTextBox1);
        installDocument(document);
        setSavedState(path, rich);
    }
    setPanel(2, QStringLiteral("Ready"));
    if (leftOut.isEmpty())
        return;
    QStringList lines{QStringLiteral("Some pictures of %1 could not be shown and were left out:").arg(path)};
    for (const LeftOutPicture& picture : leftOut)
        lines.append(QStringLiteral("Picture %1: %2").arg(picture.number).arg(picture.reason));
    desktop().dialogs->messageBox({lines.join(u'\n'), MsgButtons::OK, MsgIcon::Exclamation, 1,
                                   QStringLiteral("Pictures left out")});
}

void Form6::savefile()
{
    if (Label3 == kTxt)
        CommonDialog2.filterIndex = 1;
    else if (Label3 == kRtf)
        CommonDialog2.filterIndex = 2;
    setPanel(2, QStringLiteral("Saving file"));
    try {
        const FileDialogResult chosen = chooseFile(true, 35);
        const bool rich = richIndex(chosen.filterIndex);
        // Set only now, so the name just chosen is saved as typed; later
        // uses of the dialog add it.
        CommonDialog2.defaultExt = rich ? QStringLiteral(".rtf") : QStringLiteral(".txt");
        if (saveDocument(chosen.path, rich))
            setSavedState(chosen.path, rich);
    } catch (const PxError&) {
    }
    setPanel(2, QStringLiteral("Ready"));
}

void Form6::mnunew_Click()
{
    ignoreFailure([this] { setKeepOnTop(this, false); });
    ignoreFailure([this] { askToSave(); });
    // Cleared before the state is set, so the change this causes is not
    // counted.
    RichTextBox1->clear();
    setNewState();
}

void Form6::mnuopen_Click()
{
    ignoreFailure([this] { setKeepOnTop(this, false); });
    ignoreFailure([this] { askToSave(); });
    ignoreFailure([this] { openfile(); });
    ignoreFailure([this] { applyOnTop(); });
}

void Form6::saveas_Click()
{
    ignoreFailure([this] { setKeepOnTop(this, false); });
    ignoreFailure([this] { savefile(); });
    ignoreFailure([this] { applyOnTop(); });
}

void Form6::mnusave_Click()
{
    setPanel(2, QStringLiteral("Saving file"));
    if (Label1.isEmpty()) {
        savefile();
    } else if (Label3 == kTxt || Label3 == kRtf) {
        const bool rich = Label3 == kRtf;
        if (saveDocument(Label1, rich))
            setSavedState(Label1, rich);
    }
    setPanel(2, QStringLiteral("Ready"));
}
