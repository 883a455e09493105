#pragma once
// What a test of the main window works with, in one include.
#include "app/main_window.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "controls/image_view.h"
#include "controls/status_bar.h"
#include "settings/settings_store.h"
#include "support/form1_controls.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QStringList>
#include <QTest>

// Waits while a file the window asked for is on its way; false when it
// never arrives.
bool fileArrived(const Form1& form);

// Turns the mouse wheel over the widget by angle, in eighths of a degree
// (120 a notch), with the keys held.
void turnWheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers keys = Qt::NoModifier);

// The main window browsing a folder through its directory list, its file list
// showing what matches pattern.
struct Viewer {
    Viewer(const Desktop& desktop, const QString& folder, const QString& pattern = QStringLiteral("*.*"));
    // Selects the named file in the list, which shows it, and waits until a
    // picture is in; fails the test when the list does not hold it.
    void select(const QString& name);
    // The same without waiting: a picture not preloaded is still on its way.
    void beginSelect(const QString& name);
    // Runs the info list and waits for its end.
    void runInfoList();
    QStringList listed() const;
    MainWindow form;
    const Form1Controls ui{form};
};

// The visible top-level windows of a class.
template <typename Window>
QList<Window*> openWindows()
{
    QList<Window*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<Window*>(w); window && window->isVisible())
            found.append(window);
    return found;
}

// The window the main window's New Window command opens; an animation
// window comes up once its player has answered.
template <typename Window>
Window* openWith(MainWindow& main)
{
    const QList<Window*> before = openWindows<Window>();
    Form1Controls(main).newwindow->trigger();
    Window* opened = nullptr;
    const auto appeared = [&] {
        for (Window* w : openWindows<Window>())
            if (!before.contains(w))
                opened = w;
        return opened != nullptr;
    };
    return QTest::qWaitFor(appeared, 20000) ? opened : nullptr;
}
