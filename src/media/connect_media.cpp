#include "media/connect_media.h"

#include "desktop/keep_on_top.h"
#include "media/form3.h"
#include "media/form4.h"
#include "media/form5.h"
#include "startup/form1.h"
#include "startup/secondary_windows.h"

#include <QAction>
#include <memory>

namespace {
template <typename Window>
QList<Window*> openWindows(const WindowGroup& group)
{
    QList<Window*> open;
    for (QWidget* w : group.windows())
        if (auto* window = qobject_cast<Window*>(w))
            open.append(window);
    return open;
}

// Any number of separate windows of one class may be open: the switch and
// the unload reach each of them.
template <typename Window>
SecondaryWindowHooks everyOpenWindow(const WindowGroup& group)
{
    return {[&group](bool on) {
                for (Window* window : openWindows<Window>(group))
                    setKeepOnTop(window, on);
            },
            [&group] {
                for (Window* window : openWindows<Window>(group)) {
                    const std::unique_ptr<Window> unloaded(window);
                    unloaded->close();
                }
            },
            [&group](bool minimized) {
                for (Window* window : openWindows<Window>(group))
                    setMinimized(window, minimized);
            }};
}
}

void connectMedia(Form1& main)
{
    SecondaryWindows& windows = main.secondaryWindows();
    windows.add(SecondaryWindow::Form3, everyOpenWindow<Form3>(windows.separate));
    windows.add(SecondaryWindow::Form4, everyOpenWindow<Form4>(windows.separate));
    windows.add(SecondaryWindow::Form5, {{}, [&windows] { windows.movie.unload(); }, {}});
    QObject::connect(main.newwindow, &QAction::triggered, &main, &Form1::newwindow_Click);
    QObject::connect(main.oleeditopen, &QAction::triggered, &main, &Form1::oleeditopen_Click);
}
