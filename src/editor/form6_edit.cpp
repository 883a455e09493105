#include "editor/form6.h"

#include "core/program_info.h"
#include "desktop/clipboard.h"
#include "desktop/desktop.h"
#include "editor/plain_text.h"
#include "editor/rtf/rtf.h"
#include "report/error_report.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

void Form6::mnucopy_Click()
{
    setPanel(2, QStringLiteral("Copying text"));
    try {
        Clipboard::clear();
        Clipboard::setText(withoutPictures(RichTextBox1->textCursor().selection().toPlainText()));
    } catch (const PxError& e) {
        reportError(reporting(),
                    {QStringLiteral("Copy ERROR "), QStringLiteral("Unknown Copy ERROR"),
                     QStringLiteral("The selected text could not be put on the clipboard.")},
                    e.failure);
    }
    setPanel(2, QStringLiteral("Ready"));
}

void Form6::mnupaste_Click()
{
    setPanel(2, QStringLiteral("Pasting text"));
    try {
        const QString text = Clipboard::text();
        QTextCursor cursor = RichTextBox1->textCursor();
        cursor.insertText(text);
        RichTextBox1->setTextCursor(cursor);
    } catch (const PxError& e) {
        reportError(reporting(),
                    {QStringLiteral("Paste ERROR "), QStringLiteral("Unknown Paste ERROR"),
                     QStringLiteral("The text on the clipboard could not be pasted.")},
                    e.failure);
    }
    setPanel(2, QStringLiteral("Ready"));
}

void Form6::mnufind_Click()
{
    InputBoxRequest prompt;
    prompt.prompt = QStringLiteral("Enter a word or part of word you whish to find");
    prompt.title = QStringLiteral("Find");
    prompt.helpFile = ProgramInfo::helpFile();
    prompt.helpTopic = 36;
    for (;;) {
        const QString answer = desktop().dialogs->inputBox(prompt);
        if (answer.isEmpty())
            return;
        // From the insertion point to the end, any letter case, part of a
        // word matching too.
        const QTextCursor hit = RichTextBox1->document()->find(answer, RichTextBox1->textCursor().selectionStart());
        if (!hit.isNull()) {
            RichTextBox1->setTextCursor(hit);
            return;
        }
        desktop().dialogs->beep();
    }
}

void Form6::mnupic_Click()
{
    FileDialogRequest CommonDialog1;
    CommonDialog1.title = QStringLiteral("Add picture...");
    CommonDialog1.filter = QStringLiteral("Picture Files |*.jpg;*.jpeg;*.bmp;*.gif;*.wmf;*.emf;*.ico");
    setPanel(2, QStringLiteral("Inserting picture"));
    try {
        const FileDialogResult chosen = desktop().dialogs->fileDialog(CommonDialog1);
        Label3 = QStringLiteral("rtf");
        setPanel(4, QStringLiteral("RTF"));
        QTextCursor cursor = RichTextBox1->textCursor();
        insertPictureFile(cursor, chosen.path);
        RichTextBox1->setTextCursor(cursor);
    } catch (const PxError&) {
    }
    setPanel(2, QStringLiteral("Ready"));
}
