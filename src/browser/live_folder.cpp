#include "browser/live_folder.h"

#include "browser/main_lists.h"
#include "controls/file_list.h"
#include "core/failure.h"
#include "core/file_system.h"
#include "jobs/job_pool.h"
#include "startup/form1.h"

#include <optional>

namespace {
// Long enough for a program writing many files to be taken in one listing,
// short enough to look immediate.
constexpr int kSettleMs = 250;
}

LiveFolder::LiveFolder(Form1& form) : QObject(&form), form(form), list(form.lists().fileList())
{
    settle.setSingleShot(true);
    settle.setInterval(kSettleMs);
    connect(&settle, &QTimer::timeout, this, &LiveFolder::relist);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &LiveFolder::changed);
    connect(&list, &FileList::relisted, this, &LiveFolder::follow);
    follow();
}

void LiveFolder::follow()
{
    const QString folder = list.path();
    if (watcher.directories() == QStringList{folder})
        return;
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    if (listing)
        listing->cancel();
    listing.reset();
    settle.stop();
    if (!folder.isEmpty())
        watcher.addPath(folder);
}

void LiveFolder::changed()
{
    // One listing at a time; changes made while it runs bring one more.
    if (listing)
        changedMeanwhile = true;
    else if (!settle.isActive())
        settle.start();
}

void LiveFolder::relist()
{
    const QString folder = list.path();
    const QString pattern = list.pattern();
    changedMeanwhile = false;
    listing = form.jobPool().start(
        this,
        [folder, pattern](JobControl&) -> std::optional<QStringList> {
            try {
                return FileSystem::listMatching(folder, pattern);
            } catch (const PxError&) {
                // A folder that went away keeps its last list.
                return std::nullopt;
            }
        },
        [this, folder, pattern](const std::optional<QStringList>& names) {
            listing.reset();
            if (names && folder == list.path() && pattern == list.pattern()) {
                list.showRelisted(*names);
                form.showFileCount();
                const int index = list.listIndex();
                form.showCurrent(index >= 0 ? QString::number(index + 1) : QString());
            }
            if (changedMeanwhile)
                changed();
        });
}
