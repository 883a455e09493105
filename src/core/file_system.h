#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <ctime>
#include <functional>

// The file operations the viewer needs, over real files. Every failure
// throws PxError with the operating system's errno and message.
namespace FileSystem {

enum Attribute { ReadOnly = 1, Hidden = 2, System = 4, Archive = 32 };

// Names of the plain files in folder that match pattern, sorted, without
// hidden and system files.
QStringList listMatching(const QString& folder, const QString& pattern);
// The folders in folder, sorted the same way, without those whose names start
// with a dot.
QStringList listFolders(const QString& folder);
// The listed file of folder whose name is name when letter case is ignored
// (the exact spelling first); the empty text when there is none. Names are
// compared, never matched as patterns.
QString namesake(const QString& folder, const QString& name);

// Whether path is a folder (links followed); fails when it does not exist.
bool isFolder(const QString& path);

int attributes(const QString& path);
void setAttributes(const QString& path, int attributes);

qint64 length(const QString& path);
QDateTime changeTime(const QString& path);

// A file's length and change time, from one look at it.
struct FileFacts {
    qint64 length;
    QDateTime changed;
};

// A folder held open while its files are looked at one after another: each
// look names the file within the folder instead of walking the whole path.
class OpenFolder {
public:
    explicit OpenFolder(const QString& folder);
    ~OpenFolder();
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;
    FileFacts facts(const QString& name) const;

private:
    int fd;
};

// Opens a plain file (links followed) for reading. Anything else fails at
// once, without waiting: a FIFO or a device named like a file would block
// the opening or its reads for ever. The caller closes the descriptor.
int openPlainFile(const QString& path);

// The whole contents of a plain file of at most limit bytes; larger files
// are refused.
QByteArray readFile(const QString& path, qint64 limit);

// Told after each chunk of a copy how many bytes of how many are done;
// false stops the copy there.
using ChunkCopied = std::function<bool(qint64 done, qint64 total)>;

// Copies source over target through a temporary file in the target folder,
// so the old target survives until the new copy is complete. Refuses a
// target that exists and is read-only, hidden or system. A copy stopped by
// chunkCopied fails with ECANCELED and leaves no temporary file.
void copy(const QString& source, const QString& target, const ChunkCopied& chunkCopied = {});
// Saves data into the file path leads to, its links followed, with copy's
// refusals: an existing file keeps its mode, owner, extended attributes and
// other names; a new one is made with the umask.
void writeFile(const QString& path, const QByteArray& data);
// Removes the plain files of folder that writers killed half-way left
// behind: their names pass isTemporary, ownerGone (when given) says the
// writer named in the name is gone (made: when the file was made), and no
// process has them open.
void removeLeftBehind(const QString& folder, const std::function<bool(const char* name)>& isTemporary,
                      const std::function<bool(const char* name, time_t made)>& ownerGone = {});
// Fails when to exists: a rename never replaces anything.
void rename(const QString& from, const QString& to);
void remove(const QString& path);
// Gives the file from names the spelling of to, when a folder that ignores
// letter case takes both for one name (and so renames from onto to as onto
// itself, changing nothing): through a name of its own in between.
void respell(const QString& from, const QString& to);
void makeDirectory(const QString& path);
// True when both paths lead to one existing file (links and letter case
// included), so that a copy of one onto the other would destroy it.
bool sameFile(const QString& a, const QString& b);

}
