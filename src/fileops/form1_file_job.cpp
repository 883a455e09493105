#include "startup/form1.h"

#include "controls/status_bar.h"
#include "desktop/desktop.h"
#include "fileops/command_report.h"
#include "fileops/copy_progress.h"
#include "fileops/file_job.h"
#include "jobs/job_pool.h"

#include <optional>

FileSystem::ChunkCopied chunkCopied(JobControl& job)
{
    return [&job](qint64 done, qint64 total) {
        if (copyChunkHook)
            copyChunkHook(done, total);
        job.progress(done, total);
        return !job.cancelled();
    };
}

// Refused rather than queued: a queued command would ask its questions now
// and act later on files that may have changed by then, and the buttons'
// enabled state already tells what was copied, so it cannot tell this too.
bool Form1::fileJobRefused()
{
    if (!fileJob)
        return false;
    desktop().dialogs->messageBox({QStringLiteral("A file is still being copied or moved.") + CR + CR
                                       + QStringLiteral("Please try again when it is done."),
                                   MsgButtons::OK, MsgIcon::Information, 1, QStringLiteral("Please wait")});
    return true;
}

void Form1::startFileJob(const std::optional<CommandReport>& report, std::function<void(JobControl&)> work,
                         std::function<void()> done)
{
    auto progress = std::make_unique<CopyProgress>(StatusBar1);
    CopyProgress* bar = progress.get();
    fileProgress = std::move(progress);
    fileJob = jobs->start(
        this,
        [work = std::move(work)](JobControl& job) -> std::optional<Failure> {
            try {
                work(job);
                return std::nullopt;
            } catch (const PxError& error) {
                return error.failure;
            }
        },
        [this, report, done = std::move(done)](const std::optional<Failure>& failure) {
            fileJob.reset();
            fileProgress.reset();
            if (!report) {
                done();
                return;
            }
            runReported(reporting(), *report, [&] {
                if (failure)
                    throw PxError(*failure);
                done();
            });
        },
        [bar](qint64 doneBytes, qint64 total) { bar->showDone(doneBytes, total); });
}
