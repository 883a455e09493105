#pragma once
#include "desktop/dialogs.h"
#include "desktop/help_viewer.h"
#include "desktop/screen.h"

class QFontMetrics;

// Message boxes, input boxes and file dialogs as Qt shows them.
class QtDialogs : public Dialogs {
public:
    // The dialogs' Help buttons and F1 open help there; an input box asked
    // for at a position in twips is placed with the screen's scale.
    QtDialogs(HelpViewer& help, const Screen& screen) : help(help), screen(screen) {}
    MsgResult messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const InputBoxRequest& request) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    void beep() override;

private:
    HelpViewer& help;
    const Screen& screen;
};

// "Pictures|*.jpg;*.bmp|All|*.*" as Qt's name filters.
QStringList qtNameFilters(const QString& filter);
// Lone CRs and CR LF pairs become the line breaks a Qt label shows.
QString displayLines(const QString& text);
// Breaks each line wider than maxWidth at spaces into lines of about equal width.
QString wrapEvenly(const QString& text, const QFontMetrics& metrics, int maxWidth);
