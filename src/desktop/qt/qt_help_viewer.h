#pragma once
#include "desktop/help_viewer.h"

#include <QUrl>

#include <memory>

class QLabel;
class QTextBrowser;
class QWidget;

// The help window: one modeless window, reused by every request, that shows
// the HTML help file at a section "topic-N" or at "contents". Whatever is
// wrong with the request (no file, no such topic) is explained in the window
// itself; the caller never hears of it.
class QtHelpViewer : public HelpViewer {
public:
    QtHelpViewer();
    ~QtHelpViewer() override;

    void showTopic(const QString& helpFile, int topic) override;
    void showContents(const QString& helpFile) override;

    // The window and its parts, created on the first request.
    QWidget* window() const;
    QTextBrowser* browser() const;
    // The line above the text that explains a request the file could not answer.
    QLabel* notice() const;

    static QString topicAnchor(int topic);
    static QString contentsAnchor();

private:
    void ensureWindow();
    void present();
    void placeOnScreen();
    // Loads the file unless it is already shown; false when it cannot be read.
    bool load(const QString& helpFile);
    void go(const QString& anchor);
    void showMissingFile(const QString& helpFile);
    void setNotice(const QString& text);
    bool hasAnchor(const QString& name) const;

    std::unique_ptr<QWidget> m_window;
    QTextBrowser* m_browser = nullptr;
    QLabel* m_notice = nullptr;
    QUrl m_file; // the help file on display, empty while a message is shown
};
