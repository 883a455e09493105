// Settings keys, the two logs and the standard error report, over the real
// settings file and real log files in temporary folders.
#include "report/error_report.h"
#include "settings/log_files.h"
#include "settings/program_log.h"
#include "settings/run_log.h"
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStringEncoder>
#include <QTemporaryFile>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
ino_t fileInode(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QStringList backups(const TestEnvironment& env)
{
    return QFileInfo(env.settingsFile()).dir().entryList({"Pixalto.ini.bad-*"}, QDir::Files);
}

// What step writes to standard error.
QByteArray standardErrorOf(const std::function<void()>& step)
{
    QTemporaryFile capture;
    const int saved = ::dup(STDERR_FILENO);
    if (capture.open() && ::dup2(capture.handle(), STDERR_FILENO) >= 0)
        step();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return fileBytes(capture.fileName());
}
}

class SettingsLogsTest : public QObject {
    Q_OBJECT
private slots:
    void keysAndValuesAsQSettingsHasThem_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("pattern") << QString("*.jpg;*.gif");
        QTest::newRow("quotes and backslashes") << QString("say \"hi\" to C:\\dir\\");
        QTest::newRow("blanks around") << QString("  padded  ");
        QTest::newRow("control characters") << QString("tab\there\nnext\x01" "1 \x7f");
        QTest::newRow("NUL before a digit") << QString::fromUtf16(u"a\0" u"1b", 4);
        QTest::newRow("at sign") << QString("@home");
        QTest::newRow("comma and equals") << QString("a,b=c");
        QTest::newRow("non-ASCII") << QString::fromUtf8("Ünïcødé € 東京 \U0001F600");
        QTest::newRow("empty") << QString();
    }
    void keysAndValuesAsQSettingsHasThem()
    {
        QFETCH(QString, value);
        TestEnvironment env;
        QSettings(env.settingsFile(), QSettings::IniFormat).setValue("Pixalto/Stored", value);
        QCOMPARE(readSetting("stored"), value);
        // Keys match without letter case: a write replaces every spelling.
        writeSetting("written", "old");
        writeSetting("Written", value);
        QCOMPARE(fileBytes(env.settingsFile()).toLower().count("\nwritten="), 1);
        // The same value again leaves the file itself alone: no new file renamed over it.
        const ino_t before = fileInode(env.settingsFile());
        writeSetting("Written", value);
        QCOMPARE(fileInode(env.settingsFile()), before);
        QSettings qt(env.settingsFile(), QSettings::IniFormat);
        QCOMPARE(qt.value("Pixalto/Written").toString(), value);
        QCOMPARE(qt.value("Pixalto/Stored").toString(), value);
    }

    void damagedFileIsReadAndKeptBeforeRewrite_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray head = "; kept comment\n[Other]\nkeep=me\n\n[Pixalto]\nUser=Ann\n";
        const QByteArray tail = "defaultcopydir=/d/\nPicPattern=\"*.jpg;*.gif\"\nOnTop=1\n";
        QTest::newRow("stray group line") << head + "[junk\n" + tail;
        QTest::newRow("invalid UTF-8") << head + "Spc\xff\xfe\x80=x\n" + tail;
        QTest::newRow("NUL bytes") << head + QByteArray("\0\0\0AutoZoom=1\0\n", 15) + tail;
        QTest::newRow("quote left open") << head + "SpcSetting=\"nosplash\n" + tail;
        QTest::newRow("garbage lines") << "\x01\x02 garbage [[[ no = \n=== \n" + head + tail;
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16 with BOM") << QByteArray(utf16(QString::fromUtf8(head + tail).replace("\n", "\r\n")));
    }
    void damagedFileIsReadAndKeptBeforeRewrite()
    {
        QFETCH(QByteArray, bytes);
        TestEnvironment env;
        QDir().mkpath(QFileInfo(env.settingsFile()).path());
        writeFile(env.settingsFile(), bytes);
        const auto expectKept = [] {
            QCOMPARE(readSetting("user"), QString("Ann"));
            QCOMPARE(readSetting("Defaultcopydir"), QString("/d/"));
            QCOMPARE(readSetting("PicPattern"), QString("*.jpg;*.gif"));
        };
        expectKept();
        QVERIFY(backups(env).isEmpty());

        // A value the damaged file already holds still repairs it.
        writeSetting("OnTop", "1");
        QCOMPARE(backups(env).size(), 1);
        writeSetting("OnTop", "0");
        writeSetting("Systray", "1");
        expectKept();
        QCOMPARE(readSetting("OnTop"), QString("0"));
        const QStringList kept = backups(env);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(fileBytes(QFileInfo(env.settingsFile()).dir().filePath(kept.first())), bytes);
        const QStringList log = logLines(env.programFolder() + "/PXLog.txt");
        QVERIFY(log.size() == 1 && log.first().contains(kept.first()));
        // The rewritten file is one QSettings reads, with what the store does not own.
        QCOMPARE(QSettings(env.settingsFile(), QSettings::IniFormat).value("Other/keep").toString(), QString("me"));
        QVERIFY(fileBytes(env.settingsFile()).startsWith("; kept comment\n[Other]\nkeep=me\n"));
    }

    // Each start stores the same program facts: a value the file holds is
    // not written again, so it does not wait for another copy's lock.
    void heldValueSkipsTheLock()
    {
        TestEnvironment env;
        writeSetting("User", "Ann");
        QLockFile otherCopy(env.settingsFile() + ".lock");
        QVERIFY(otherCopy.tryLock(0));
        // Waiting would end in a "kept it locked" failure, recorded.
        writeSetting("User", "Ann");
        QVERIFY(!QFileInfo::exists(env.programFolder() + "/PXLog.txt"));
        otherCopy.unlock();
        writeSetting("User", "Bob");
        QCOMPARE(readSetting("User"), QString("Bob"));
    }

    void unusableFileIsNamedAndNotWritten_data()
    {
        QTest::addColumn<bool>("onFolder");
        QTest::addColumn<int>("mode"); // 0: a folder in the file's place
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("user");
        QTest::newRow("folder in its place") << false << 0 << "is a folder, not a file" << "";
        QTest::newRow("unreadable file") << false << 0222 << "cannot be read: Permission denied" << "";
        QTest::newRow("read-only file") << false << 0444 << "cannot be written: Permission denied" << "Ann";
        QTest::newRow("read-only folder") << true << 0555 << "cannot be written: Permission denied" << "Ann";
    }
    void unusableFileIsNamedAndNotWritten()
    {
        QFETCH(bool, onFolder);
        QFETCH(int, mode);
        QFETCH(QString, reason);
        QFETCH(QString, user);
        TestEnvironment env;
        const QString file = env.settingsFile();
        const QString folder = QFileInfo(file).path();
        QDir().mkpath(folder);
        writeFile(file, "[Pixalto]\nUser=Ann\n");
        for (const QString& path : {env.configHome(), folder, env.programFolder(), file})
            QVERIFY(setMode(path, 0777));
        const QString damaged = onFolder ? folder : file;
        QVERIFY(mode ? setMode(damaged, mode) : QFile::remove(file) && QDir().mkdir(file));
        const QByteArray before = fileBytes(file);

        QVERIFY(inChildProcesses({[&] {
                                     const QString problem = settingsProblem();
                                     writeSetting("User", "Bob");
                                     return problem.contains(damaged) && problem.contains(reason)
                                         && readSetting("User") == user;
                                 }},
                                 true));
        setMode(folder, 0777);
        setMode(file, 0666);
        QCOMPARE(fileBytes(file), before);
        QVERIFY(backups(env).isEmpty());
        QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().contains("Settings save ERROR ("));
    }

    // A full disk leaves the logs as they were, what they cannot take goes to
    // standard error, and the disk is named as why settings were not saved.
    void fullDiskLeavesLogsAsTheyWere()
    {
        TestEnvironment env;
        const QByteArray disk = QFile::encodeName(env.programFolder());
        if (::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a tmpfs needs root (CAP_SYS_ADMIN): the full-disk case is not run");
        const auto unmount = qScopeGuard([&] { ::umount2(disk.constData(), MNT_DETACH); });
        qputenv("XDG_CONFIG_HOME", disk);
        // The program log's last page has room for the start of a record only.
        const QByteArray run = "***Orvenko Works, Pixalto Run Logfile***\r\n";
        const QByteArray log = QByteArray(4000, 'e') + "\r\n";
        writeFile(runLogPath(), run);
        writeFile(programLogPath(), log);
        QFile filler(disk + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(64 * 1024, 'f'));

        const QByteArray lost = standardErrorOf([] {
            RunLog().line("this start");
            ProgramLog().record(QString(200, QLatin1Char('r')));
            writeSetting("User", "Bob");
        });
        QVERIFY(fileBytes(runLogPath()) == run && fileBytes(programLogPath()) == log);
        for (const QByteArray& line : {QByteArray("PXRunLog: this start\n"), QByteArray(200, 'r') + "\"\n",
                                       QByteArray("Pixalto.ini could not be saved: No space left on device.)\"\n")})
            QVERIFY2(lost.contains(line), lost.constData());
    }

    // The temporary file of a write killed half-way goes with the next write
    // unless a process still has it open.
    void twoProcessesWriteSettingsAndLogAtOnce()
    {
        TestEnvironment env;
        writeSetting("User", "Ann");
        const QString leftover = env.settingsFile() + ".AbCdEf";
        QFile held(env.settingsFile() + ".GhIjKl");
        writeFile(leftover, "[Pixalto]\nUser=Ann\n");
        QVERIFY(held.open(QIODevice::WriteOnly));
        const int writes = 40;
        const QString record(4000, QLatin1Char('r'));
        const auto writer = [&](int process) {
            return [&, process] {
                ProgramLog log;
                log.open();
                for (int n = 0; n < writes; ++n) {
                    writeSetting(QString("P%1Key%2").arg(process).arg(n), QString::number(n));
                    log.record(QString::number(process) + record);
                }
                return true;
            };
        };
        QVERIFY(inChildProcesses({writer(1), writer(2)}));

        QCOMPARE(readSetting("User"), QString("Ann"));
        QVERIFY(!QFileInfo::exists(leftover) && held.exists());
        for (int process : {1, 2})
            for (int n = 0; n < writes; ++n)
                QCOMPARE(readSetting(QString("P%1Key%2").arg(process).arg(n)), QString::number(n));
        const QStringList lines = logLines(env.programFolder() + "/PXLog.txt");
        QCOMPARE(lines.size(), 2 * writes);
        QCOMPARE(lines.filter(QRegularExpression("^\"<[^>]+> [12]" + record + "\"$")), lines);
    }

    // The run log is rewritten by each run; the program log grows, in its
    // three record forms, and takes what the error report shows.
    void logsGrowOrRestartInTheirForms()
    {
        TestEnvironment env;
        for (const char* run : {"first", "second"}) {
            RunLog().line(run);
            ProgramLog log;
            log.open();
            log.record(run);
        }
        QCOMPARE(logLines(env.programFolder() + "/PXRunLog.txt"),
                 QStringList({"***Orvenko Works, Pixalto Run Logfile***", "", "second"}));
        const QString log = env.programFolder() + "/PXLog.txt";
        {
            ProgramLog held;
            held.open();
            held.emptyRecord();
            held.plainRecord("Invalid user name was entered");
            // Each record is on disk as soon as it is written, while the log is open.
            QCOMPARE(logLines(log).size(), 4);
        }

        const ErrorTexts texts{"File copy ERROR ", "Unknown File copy ERROR", "Body"};
        reportError(env.reporting(), texts, {2, "No such file or directory"});
        reportError(env.reporting(), texts, {}, Beep::Silent);
        QCOMPARE(env.dialogs.beeps, 1);
        const QList<MessageBoxRequest>& boxes = env.dialogs.messages;
        QCOMPARE(boxes.size(), 2);
        QCOMPARE(boxes.at(0).title, QString("File copy ERROR 2 (No such file or directory)"));
        QVERIFY(boxes.at(0).text == "Body" && boxes.at(0).icon == MsgIcon::Critical);
        QCOMPARE(boxes.at(1).title, QString("Unknown File copy ERROR"));

        const QStringList forms = {"\"<[^>]+, [^>]+> first\"", "\"<[^>]+> second\"", "",
                                   "<[^>]+> Invalid user name was entered",
                                   "\"<[^>]+> File copy ERROR 2 \\(No such file or directory\\)\"",
                                   "\"<[^>]+> Unknown File copy ERROR\""};
        const QStringList lines = logLines(log);
        QCOMPARE(lines.size(), forms.size());
        for (int i = 0; i < forms.size(); ++i)
            QVERIFY2(QRegularExpression("^" + forms[i] + "$").match(lines[i]).hasMatch(), qPrintable(lines[i]));
    }

    void unwritableProgramFolderMovesLogs()
    {
        TestEnvironment env;
        const QString data = env.makeFolder("data");
        for (const QString& folder : {data, QFileInfo(data).path()})
            QVERIFY(setMode(folder, 0777));
        QVERIFY(setMode(env.programFolder(), 0555));
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        const bool moved = inChildProcesses({[&] {
                                                RunLog().line("run");
                                                ProgramLog().record("kept");
                                                return logFolder() == data + "/Orvenko Soft/Pixalto"
                                                    && logLines(runLogPath()).last() == "run"
                                                    && logLines(programLogPath()).last().endsWith("> kept\"");
                                            }},
                                            true);
        setMode(env.programFolder(), 0755);
        QVERIFY(moved);
        QVERIFY(QDir(env.programFolder()).entryList({"PX*"}).isEmpty());
    }
};

QTEST_MAIN(SettingsLogsTest)
#include "test_settings_logs.moc"
