#include "startup/form1.h"

#include "controls/dir_list.h"
#include "fileops/directory_roles.h"
#include "fileops/main_files.h"
#include "settings/keys.h"
#include "settings/settings_store.h"

// A directory list without a folder gives no value; a failed settings write
// is not reported.

void Form1::mnusession_Click()
{
    ignoreFailure([this] { files().useAsCopyDirectory(directoryValue(Dir1->path())); });
}

void Form1::mnudefault_Click()
{
    ignoreFailure([this] { writeSetting(Keys::defaultcopydir, directoryValue(Dir1->path())); });
}

void Form1::mnustartup_Click()
{
    ignoreFailure([this] { writeSetting(Keys::Startupdir, directoryValue(Dir1->path())); });
}
