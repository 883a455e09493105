#pragma once
#include "desktop/dialogs.h"

#include <QList>
#include <QStringList>
#include <deque>

// Stands for the person: answers message boxes, input boxes and file dialogs
// from a script and records what was shown.
class ScriptedDialogs : public Dialogs {
public:
    MsgResult messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const InputBoxRequest& request) override;
    FileDialogResult fileDialog(const FileDialogRequest& request) override;
    void beep() override { ++beeps; }

    // Answers used in order; when a script runs out, message boxes answer
    // with their default button, input boxes with Cancel and file dialogs
    // with a cancel failure.
    std::deque<MsgResult> messageAnswers;
    std::deque<QString> inputAnswers;
    std::deque<FileDialogResult> fileAnswers;

    QList<MessageBoxRequest> messages;
    // The titles of the message boxes shown, in order.
    QStringList titles() const;
    QList<InputBoxRequest> inputs;
    QList<FileDialogRequest> fileDialogs;
    int beeps = 0;
};
