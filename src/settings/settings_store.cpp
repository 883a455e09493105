#include "settings/settings_store.h"

#include "core/file_system.h"
#include "settings/ini_document.h"
#include "settings/program_log.h"

#include <QDateTime>
#include <QHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kGroup = QStringLiteral("Pixalto");
// Far more than any settings file; a bigger one is not read into memory.
constexpr qint64 kMaxSize = 4 * 1024 * 1024;
// A write holds the lock for a few milliseconds; a copy of the program that
// died holding it leaves a lock that is recognised as stale.
constexpr int kLockWaitMs = 10000;

QString filePath() { return settingsFolder() + QStringLiteral("/Pixalto.ini"); }

// The store serves every window and is held by none, so its rare records do
// not go through the log the main window holds open: they open the file.
void recordFailure(const QString& text) { ProgramLog().record(text); }

// The temporary files a write makes beside the file: "Pixalto.ini." and six
// letters (QSaveFile's names).
bool isWriteTemp(const char* name)
{
    constexpr char prefix[] = "Pixalto.ini.";
    if (std::strncmp(name, prefix, sizeof prefix - 1) != 0 || std::strlen(name) != sizeof prefix - 1 + 6)
        return false;
    for (const char* c = name + sizeof prefix - 1; *c; ++c)
        if (!std::isalpha(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// QLockFile does not tell why it could not make its file; a file made and
// written the same way in the folder does (a full disk, most often).
QString creationFailure(const QString& folder)
{
    QTemporaryFile probe(folder + QStringLiteral("/Pixalto.ini.XXXXXX"));
    const QByteArray bytes(512, '\n');
    if (probe.open() && probe.write(bytes) == bytes.size() && probe.flush())
        return {};
    return probe.errorString();
}

QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

struct Contents {
    bool exists = false;
    QByteArray bytes;
    QString problem; // why the file could not be read; empty when it could
};

Contents readFile(const QString& path)
{
    Contents c;
    const QFileInfo info(path);
    if (!info.exists())
        return c;
    c.exists = true;
    if (info.isDir()) {
        c.problem = QStringLiteral("The settings file %1 is a folder, not a file.").arg(path);
        return c;
    }
    if (!info.isFile() || info.size() > kMaxSize) {
        c.problem = QStringLiteral("The settings file %1 is not a settings file (not a plain file, or too large).").arg(path);
        return c;
    }
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        c.bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        c.problem = QStringLiteral("The settings file %1 cannot be read: %2.").arg(path, f.errorString());
    return c;
}

// What stands in the way of replacing the file: a write makes a new file in
// its folder and renames it over the old one.
QString writeProblem(const QString& path, bool exists)
{
    if (exists && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return QStringLiteral("The settings file %1 cannot be written: %2.").arg(path, systemReason());
    const QString folder = QFileInfo(path).absolutePath();
    QString existing = folder;
    while (!QFileInfo::exists(existing))
        existing = QFileInfo(existing).absolutePath();
    if (!QFileInfo(existing).isDir())
        return QStringLiteral("The settings folder %1 cannot be made: %2 is not a folder.").arg(folder, existing);
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("The settings folder %1 cannot be written: %2.").arg(existing, systemReason());
    return {};
}

QString& lastWriteFailure()
{
    static QString failure;
    return failure;
}

// Keeps the damaged file beside it before it is replaced, once for each
// damaged content. Returns false when no copy could be made.
bool keepCopy(const QString& path, const QByteArray& bytes)
{
    const QFileInfo info(path);
    const QString prefix = info.fileName() + QStringLiteral(".bad-");
    const QDir dir = info.dir();
    for (const QString& name : dir.entryList({prefix + QLatin1Char('*')}, QDir::Files)) {
        QFile kept(dir.filePath(name));
        if (kept.size() == bytes.size() && kept.open(QIODevice::ReadOnly) && kept.readAll() == bytes)
            return true;
    }
    const QString base = path + QStringLiteral(".bad-")
                       + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    QFile copy(name);
    // The copy holds the same settings (the user name among them): no one
    // may read it who could not read the file.
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly, info.permissions()) || copy.write(bytes) != bytes.size()
        || !copy.flush()) {
        copy.remove();
        return false;
    }
    recordFailure(QStringLiteral("The settings file %1 could not be read completely; it was kept as %2 "
                                      "before it was rewritten")
                           .arg(path, name));
    return true;
}

// One read-modify-write; returns why it failed, empty on success.
QString replaceValue(const QString& path, const QString& key, const QString& value)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        const QString problem = writeProblem(path, false);
        return problem.isEmpty() ? QStringLiteral("The settings folder %1 cannot be made.").arg(folder) : problem;
    }
    // Two running copies of the program rewrite the same file: the lock keeps
    // one from writing back what it read before the other's change.
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs)) {
        if (lock.error() == QLockFile::LockFailedError)
            return QStringLiteral("The settings file %1 could not be saved: another copy of Pixalto kept it locked.")
                .arg(path);
        if (const QString problem = writeProblem(path, QFileInfo::exists(path)); !problem.isEmpty())
            return problem;
        if (const QString failure = creationFailure(folder); !failure.isEmpty())
            return QStringLiteral("The settings file %1 could not be saved: %2.").arg(path, failure);
        return QStringLiteral("The settings file %1 could not be saved: its lock file %2 cannot be made.")
            .arg(path, lock.fileName());
    }
    // A write killed half-way leaves its temporary file, which holds the
    // settings, user name included. Under the lock no write of a running copy
    // is under way; one that outlived a lock taken as stale still has its
    // file open.
    FileSystem::removeLeftBehind(folder, isWriteTemp);
    const Contents contents = readFile(path);
    if (!contents.problem.isEmpty())
        return contents.problem;
    // Renaming over a read-only file would succeed, and ignore why it is so.
    if (const QString problem = writeProblem(path, contents.exists); !problem.isEmpty())
        return problem;
    IniDocument document = IniDocument::parse(contents.bytes);
    if (document.damaged() && !keepCopy(path, contents.bytes))
        return QStringLiteral("The settings file %1 is damaged and no copy of it could be kept beside it, so it "
                              "was not changed.")
            .arg(path);
    document.setValue(kGroup, key, value);
    const QByteArray bytes = document.toBytes();
    // Every start stores the same program facts again: an unchanged file is
    // not rewritten, which spares the disk a flush each time.
    if (contents.exists && bytes == contents.bytes)
        return {};
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return QStringLiteral("The settings file %1 could not be saved: %2.").arg(path, out.errorString());
    return {};
}
}

namespace {
// What one look at the file tells of its contents: a write by any program
// either replaces the file (a new inode) or changes its length or times.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t length = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileStamp& o) const
    {
        return exists == o.exists && device == o.device && inode == o.inode && length == o.length
            && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec
            && changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
    }
};

FileStamp stampOf(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// The viewer reads settings at every picture and the tray companion writes
// them: reads come from memory, and the file is parsed again only when a
// look at it shows a change. A file changed within the last second may
// change again without its time moving on, so it is not trusted yet.
class ReadCache {
public:
    QString value(const QString& key)
    {
        const std::lock_guard lock(mutex);
        refresh();
        auto found = values.constFind(key);
        if (found == values.cend())
            found = values.insert(key, document.value(kGroup, key));
        return *found;
    }

    // The file as it is now would be written back unchanged with key set to
    // value (never so when damaged: its unreadable lines would go).
    bool holds(const QString& key, const QString& value)
    {
        const std::lock_guard lock(mutex);
        refresh();
        if (!cachedStamp.exists)
            return false;
        IniDocument changed = document;
        changed.setValue(kGroup, key, value);
        return changed.toBytes() == bytes;
    }

private:
    // Under the mutex.
    void refresh()
    {
        const QString path = filePath();
        const FileStamp stamp = stampOf(path);
        if (trusted && path == cachedPath && stamp == cachedStamp)
            return;
        bytes = readFile(path).bytes;
        document = IniDocument::parse(bytes);
        values.clear();
        cachedPath = path;
        cachedStamp = stamp;
        trusted = !stamp.exists || std::time(nullptr) - stamp.modified.tv_sec > 1;
    }

    std::mutex mutex;
    bool trusted = false;
    QString cachedPath;
    FileStamp cachedStamp;
    QByteArray bytes;
    IniDocument document;
    QHash<QString, QString> values;
};

ReadCache& readCache()
{
    static ReadCache cache;
    return cache;
}
}

QString readSetting(const QString& key) { return readCache().value(key); }

void writeSetting(const QString& key, const QString& value)
{
    // Every start stores the same program facts again: a value the file
    // already holds costs no lock and no second read.
    if (readCache().holds(key, value))
        return;
    const QString failure = replaceValue(filePath(), key, value);
    // Each new reason is recorded once, not at every write it refuses.
    if (!failure.isEmpty() && failure != lastWriteFailure())
        recordFailure(QStringLiteral("Settings save ERROR (%1)").arg(failure));
    lastWriteFailure() = failure;
}

bool settingIsOne(const QString& key) { return readSetting(key) == QLatin1String("1"); }

std::optional<double> numberFromSetting(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    return ok ? std::optional(v) : std::nullopt;
}

bool settingIsNumericOne(const QString& key) { return numberFromSetting(readSetting(key)) == 1.0; }

QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Orvenko Soft");
}

QString settingsProblem()
{
    const QString path = filePath();
    const Contents contents = readFile(path);
    if (!contents.problem.isEmpty())
        return contents.problem;
    const QString problem = writeProblem(path, contents.exists);
    return problem.isEmpty() ? lastWriteFailure() : problem;
}
