// Settings keys, the two logs and the standard error report, over the real
// settings file and real log files in temporary folders.
#include "report/error_report.h"
#include "settings/log_files.h"
#include "settings/log_text.h"
#include "settings/program_log.h"
#include "settings/run_log.h"
#include "settings/settings_store.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSettings>
#include <QStringEncoder>
#include <QTest>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
// Runs check in a child process, as an ordinary user when the tests run as
// root (root reads and writes anywhere); true when it returned true.
bool inChildProcess(const std::function<bool()>& check, bool asOrdinaryUser = false)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (asOrdinaryUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = -1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

QStringList backups(const TestEnvironment& env)
{
    return QFileInfo(env.settingsFile()).dir().entryList({"Pixalto.ini.bad-*"}, QDir::Files);
}
}

class SettingsLogsTest : public QObject {
    Q_OBJECT
private slots:
    void keysMatchWithoutLetterCase();
    void valuesReadAndWrittenAsQSettingsDoes_data();
    void valuesReadAndWrittenAsQSettingsDoes();
    void damagedFileIsReadAndKeptBeforeRewrite_data();
    void damagedFileIsReadAndKeptBeforeRewrite();
    void unusableFileIsNamedAndNotWritten_data();
    void unusableFileIsNamedAndNotWritten();
    void twoProcessesWriteSettingsAndLogAtOnce();
    void okLineLayout();
    void runLogIsRewrittenProgramLogGrows();
    void programLogRecordForms();
    void errorReportForms();
    void unwritableProgramFolderMovesLogs();
};

void SettingsLogsTest::keysMatchWithoutLetterCase()
{
    TestEnvironment env;
    QCOMPARE(readSetting("Missing"), QString());
    writeSetting("AutoSkip", "0");
    QCOMPARE(readSetting("Autoskip"), QString("0"));
    // A write replaces every spelling of the key.
    writeSetting("defaultcopydir", "/a/");
    writeSetting("Defaultcopydir", "/b/");
    QCOMPARE(readSetting("DEFAULTCOPYDIR"), QString("/b/"));
    QFile f(env.settingsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()).count(QRegularExpression(
                 "^defaultcopydir=", QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption)),
             1);
    writeSetting("AutoZoom", "1.0");
    QVERIFY(settingIsNumericOne("AutoZoom") && !settingIsOne("AutoZoom"));
    writeSetting("OLE", "abc");
    QVERIFY(!settingIsNumericOne("OLE"));
}

void SettingsLogsTest::valuesReadAndWrittenAsQSettingsDoes_data()
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

void SettingsLogsTest::valuesReadAndWrittenAsQSettingsDoes()
{
    QFETCH(QString, value);
    TestEnvironment env;
    {
        QSettings qt(env.settingsFile(), QSettings::IniFormat);
        qt.setValue("Pixalto/Stored", value);
    }
    QCOMPARE(readSetting("stored"), value);
    writeSetting("Written", value);
    QSettings qt(env.settingsFile(), QSettings::IniFormat);
    QCOMPARE(qt.value("Pixalto/Written").toString(), value);
    QCOMPARE(qt.value("Pixalto/Stored").toString(), value);
}

void SettingsLogsTest::damagedFileIsReadAndKeptBeforeRewrite_data()
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

void SettingsLogsTest::damagedFileIsReadAndKeptBeforeRewrite()
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
    QCOMPARE(readSetting("OnTop"), QString("1"));
    QVERIFY(backups(env).isEmpty());

    writeSetting("OnTop", "0");
    writeSetting("Systray", "1");
    expectKept();
    QCOMPARE(readSetting("OnTop"), QString("0"));
    const QStringList kept = backups(env);
    QCOMPARE(kept.size(), 1);
    QVERIFY(QRegularExpression("^Pixalto\\.ini\\.bad-\\d{8}-\\d{6}$").match(kept.first()).hasMatch());
    QCOMPARE(fileBytes(QFileInfo(env.settingsFile()).dir().filePath(kept.first())), bytes);
    const QStringList log = logLines(env.programFolder() + "/PXLog.txt");
    QCOMPARE(log.size(), 1);
    QVERIFY(log.first().contains(kept.first()));
    // The rewritten file is one QSettings reads, with what the store does not own.
    QSettings qt(env.settingsFile(), QSettings::IniFormat);
    QCOMPARE(qt.value("Other/keep").toString(), QString("me"));
    QCOMPARE(qt.value("Pixalto/PicPattern").toString(), QString("*.jpg;*.gif"));
    QVERIFY(fileBytes(env.settingsFile()).startsWith("; kept comment\n[Other]\nkeep=me\n"));
}

void SettingsLogsTest::unusableFileIsNamedAndNotWritten_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("user");
    QTest::newRow("folder in its place") << "folder" << "is a folder, not a file" << "";
    QTest::newRow("unreadable file") << "unreadable" << "cannot be read: Permission denied" << "";
    QTest::newRow("read-only file") << "read-only" << "cannot be written: Permission denied" << "Ann";
    QTest::newRow("read-only folder") << "read-only folder" << "cannot be written: Permission denied" << "Ann";
}

void SettingsLogsTest::unusableFileIsNamedAndNotWritten()
{
    QFETCH(QString, damage);
    QFETCH(QString, reason);
    QFETCH(QString, user);
    TestEnvironment env;
    const QString file = env.settingsFile();
    const QString folder = QFileInfo(file).path();
    QDir().mkpath(folder);
    writeFile(file, "[Pixalto]\nUser=Ann\n");
    for (const QString& path : {env.configHome(), folder, env.programFolder(), file})
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0777) == 0);
    if (damage == "folder")
        QVERIFY(QFile::remove(file) && QDir().mkdir(file));
    const std::map<QString, std::pair<QString, int>> modes = {
        {"unreadable", {file, 0222}}, {"read-only", {file, 0444}}, {"read-only folder", {folder, 0555}}};
    if (modes.count(damage))
        QVERIFY(::chmod(QFile::encodeName(modes.at(damage).first).constData(), modes.at(damage).second) == 0);
    const QByteArray before = fileBytes(file);

    QVERIFY(inChildProcess(
        [&] {
            const QString problem = settingsProblem();
            writeSetting("User", "Bob");
            return problem.contains(damage == "read-only folder" ? folder : file)
                && problem.contains(reason) && readSetting("User") == user;
        },
        true));
    ::chmod(QFile::encodeName(folder).constData(), 0777);
    ::chmod(QFile::encodeName(file).constData(), 0666);
    QCOMPARE(fileBytes(file), before);
    QVERIFY(backups(env).isEmpty());
    QVERIFY(logLines(env.programFolder() + "/PXLog.txt").last().contains("Settings save ERROR (" ));
}

void SettingsLogsTest::twoProcessesWriteSettingsAndLogAtOnce()
{
    TestEnvironment env;
    writeSetting("User", "Ann");
    const int writes = 40;
    const QString record(4000, QLatin1Char('r'));
    const auto writer = [&](int process) {
        return [&, process] {
            ProgramLog::open();
            for (int n = 0; n < writes; ++n) {
                writeSetting(QString("P%1Key%2").arg(process).arg(n), QString::number(n));
                ProgramLog::record(QString::number(process) + record);
            }
            return true;
        };
    };
    const pid_t first = ::fork();
    if (first == 0)
        ::_exit(writer(1)() ? 0 : 1);
    QVERIFY(inChildProcess(writer(2)));
    int status = -1;
    QCOMPARE(::waitpid(first, &status, 0), first);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    QCOMPARE(readSetting("User"), QString("Ann"));
    for (int process : {1, 2})
        for (int n = 0; n < writes; ++n)
            QCOMPARE(readSetting(QString("P%1Key%2").arg(process).arg(n)), QString::number(n));
    const QStringList lines = logLines(env.programFolder() + "/PXLog.txt");
    QCOMPARE(lines.size(), 2 * writes);
    const QRegularExpression whole("^\"<[^>]+> [12]" + record + "\"$");
    for (const QString& line : lines)
        QVERIFY(whole.match(line).hasMatch());
}

void SettingsLogsTest::okLineLayout()
{
    const QString fifty(50, QLatin1Char('L'));
    QCOMPARE(LogText::okLine(fifty), fifty + "... OK");
    const QString line = LogText::okLine("Program Logfile set");
    QCOMPARE(line, QString("Program Logfile set.................................. OK"));
    QCOMPARE(line.size(), 56);
}

void SettingsLogsTest::runLogIsRewrittenProgramLogGrows()
{
    TestEnvironment env;
    for (const char* run : {"first", "second"}) {
        RunLog::open();
        RunLog::line(run);
        RunLog::close();
        ProgramLog::open();
        ProgramLog::record(run);
        ProgramLog::close();
    }
    const QStringList run = logLines(env.programFolder() + "/PXRunLog.txt");
    QCOMPARE(run, QStringList({"***Orvenko Works, Pixalto Run Logfile***", "", "second"}));
    const QStringList program = logLines(env.programFolder() + "/PXLog.txt");
    QCOMPARE(program.size(), 2);
    QVERIFY(program.at(0).endsWith("> first\""));
    QVERIFY(program.at(1).endsWith("> second\""));
}

void SettingsLogsTest::programLogRecordForms()
{
    TestEnvironment env;
    const QDateTime when(QDate(2026, 3, 4), QTime(13, 5, 9));
    const QLocale locale = QLocale::system();
    QCOMPARE(LogText::framed(when, "File copy ERROR 2 (x)"),
             "<" + locale.toString(when.date(), QLocale::ShortFormat) + ", "
                 + locale.toString(when.time(), QLocale::LongFormat) + "> File copy ERROR 2 (x)");
    ProgramLog::open();
    ProgramLog::record("quoted");
    ProgramLog::emptyRecord();
    ProgramLog::plainRecord("Invalid user name was entered");
    // Each record is on disk as soon as it is written, while the log is open.
    const QStringList lines = logLines(env.programFolder() + "/PXLog.txt");
    ProgramLog::close();
    QCOMPARE(lines.size(), 3);
    QVERIFY(QRegularExpression("^\"<[^>]+, [^>]+> quoted\"$").match(lines.at(0)).hasMatch());
    QCOMPARE(lines.at(1), QString());
    QVERIFY(QRegularExpression("^<[^>]+> Invalid user name was entered$").match(lines.at(2)).hasMatch());
}

void SettingsLogsTest::errorReportForms()
{
    TestEnvironment env;
    const ErrorTexts texts{"File copy ERROR ", "Unknown File copy ERROR", "Body"};
    reportError(texts, {2, "No such file or directory"});
    reportError(texts, {}, Beep::Silent);
    QCOMPARE(env.dialogs.beeps, 1);
    QCOMPARE(env.dialogs.messages.size(), 2);
    QCOMPARE(env.dialogs.messages.at(0).title, QString("File copy ERROR 2 (No such file or directory)"));
    QCOMPARE(env.dialogs.messages.at(0).text, QString("Body"));
    QCOMPARE(env.dialogs.messages.at(0).icon, MsgIcon::Critical);
    QCOMPARE(env.dialogs.messages.at(1).title, QString("Unknown File copy ERROR"));
    const QStringList lines = logLines(env.programFolder() + "/PXLog.txt");
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).endsWith("> File copy ERROR 2 (No such file or directory)\""));
    QVERIFY(lines.at(1).endsWith("> Unknown File copy ERROR\""));
}

void SettingsLogsTest::unwritableProgramFolderMovesLogs()
{
    TestEnvironment env;
    const QString data = env.makeFolder("data");
    for (const QString& folder : {env.programFolder(), data, QFileInfo(data).path()})
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    QVERIFY(::chmod(QFile::encodeName(env.programFolder()).constData(), 0555) == 0);
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    const bool moved = inChildProcess(
        [&] {
            RunLog::open();
            RunLog::line("run");
            RunLog::close();
            ProgramLog::record("kept");
            return logFolder() == data + "/Orvenko Soft/Pixalto" && logLines(runLogPath()).last() == "run"
                && logLines(programLogPath()).last().endsWith("> kept\"");
        },
        true);
    ::chmod(QFile::encodeName(env.programFolder()).constData(), 0755);
    QVERIFY(moved);
    QVERIFY(!QFile::exists(env.programFolder() + "/PXRunLog.txt"));
    QVERIFY(!QFile::exists(env.programFolder() + "/PXLog.txt"));
}

QTEST_MAIN(SettingsLogsTest)
#include "test_settings_logs.moc"
