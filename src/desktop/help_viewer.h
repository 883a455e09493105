#pragma once
#include <QString>

// Opens the program's help file at a numbered topic or at its contents.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showTopic(const QString& helpFile, int topic) = 0;
    virtual void showContents(const QString& helpFile) = 0;
};
