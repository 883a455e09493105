#include "browser/main_lists.h"

#include "controls/dir_list.h"
#include "startup/form1.h"

MainLists Form1::lists() { return MainLists(*this); }

FileList& MainLists::fileList() const { return *form.File1; }

void MainLists::openFolder(const QString& folder) const { form.Dir1->setPath(folder); }
