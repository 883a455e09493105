#include "fileops/main_files.h"

#include "controls/file_list.h"
#include "controls/status_bar.h"
#include "movie/movie_player.h"
#include "startup/form1.h"

MainFiles Form1::files() { return MainFiles(*this); }

FileList& MainFiles::fileList() const { return *form.File1; }

QString MainFiles::listFolder() const { return form.File1->path(); }

void MainFiles::releaseShownFile() const
{
    form.dropPendingLoad();
    form.AM1->setFileName(QString());
}

void MainFiles::useAsCopyDirectory(const QString& folder) const
{
    form.StatusBar1->setText(3, QStringLiteral("  ") + folder);
    form.Text3 = folder;
}
