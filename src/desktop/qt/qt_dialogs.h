#pragma once
#include "desktop/dialogs.h"

// Message boxes, input boxes and file dialogs as Qt shows them.
class QtDialogs : public Dialogs {
public:
    MsgResult messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const InputBoxRequest& request) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    void beep() override;
};

// "Pictures|*.jpg;*.bmp|All|*.*" as Qt's name filters.
QStringList qtNameFilters(const QString& filter);
// Lone CRs and CR LF pairs become the line breaks a Qt label shows.
QString displayLines(const QString& text);
