#pragma once
#include <QPoint>
#include <QString>
#include <optional>

// Message boxes, input boxes, file dialogs and the beep: everything that asks
// the person in front of the screen. Tests replace it with scripted answers.
// The line break inside message and input box texts.
inline const QString CR = QStringLiteral("\r");

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Yes, No };

struct MessageBoxRequest {
    QString text;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 1; // 1-based, in the order the buttons are named
    QString title;
};

struct InputBoxRequest {
    QString prompt;
    QString title;
    QString defaultText;
    std::optional<QPoint> positionTwips; // top-left of the box on the screen
    QString helpFile;
    int helpTopic = 0;
};

struct FileDialogRequest {
    bool save = false;
    QString title;
    QString filter;    // "Description|*.ext|Description|*.a;*.b"
    int filterIndex = 1; // 1-based
    QString defaultExt;
    QString fileName;  // initial name or path
    QString folder;    // where the dialog opens; empty for the working folder
    QString helpFile;
    int helpTopic = 0;
};

struct FileDialogResult {
    QString path;
    int filterIndex = 1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MsgResult messageBox(const MessageBoxRequest& request) = 0;
    // Returns the typed text; Cancel returns the empty text.
    virtual QString inputBox(const InputBoxRequest& request) = 0;
    // Cancel is reported as a failure (PxError), like the common dialog does.
    virtual FileDialogResult fileDialog(const FileDialogRequest& request) = 0;
    virtual void beep() = 0;
};
