#include "doubles/scripted_dialogs.h"

#include "core/failure.h"

namespace {
MsgResult defaultAnswer(const MessageBoxRequest& r)
{
    switch (r.buttons) {
    case MsgButtons::OK: return MsgResult::OK;
    case MsgButtons::OKCancel: return r.defaultButton == 2 ? MsgResult::Cancel : MsgResult::OK;
    case MsgButtons::YesNo: return r.defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
    case MsgButtons::YesNoCancel:
        return r.defaultButton == 3 ? MsgResult::Cancel
             : r.defaultButton == 2 ? MsgResult::No : MsgResult::Yes;
    }
    return MsgResult::OK;
}
}

MsgResult ScriptedDialogs::messageBox(const MessageBoxRequest& request)
{
    messages.append(request);
    if (messageAnswers.empty())
        return defaultAnswer(request);
    MsgResult answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

QString ScriptedDialogs::inputBox(const InputBoxRequest& request)
{
    inputs.append(request);
    if (inputAnswers.empty())
        return {};
    QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

FileDialogResult ScriptedDialogs::fileDialog(const FileDialogRequest& request)
{
    fileDialogs.append(request);
    if (fileAnswers.empty())
        Errors::raise(Errors::dialogCancelled());
    FileDialogResult answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QStringList ScriptedDialogs::titles() const
{
    QStringList shown;
    for (const MessageBoxRequest& m : messages)
        shown.append(m.title);
    return shown;
}
