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

#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

class SettingsLogsTest : public QObject {
    Q_OBJECT
private slots:
    void keysMatchWithoutLetterCase();
    void brokenSettingsFileStillReads();
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

void SettingsLogsTest::brokenSettingsFileStillReads()
{
    TestEnvironment env;
    QDir().mkpath(QFileInfo(env.settingsFile()).path());
    QFile f(env.settingsFile());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\x01\x02 garbage [[[ no = \n[Pixalto]\nUser=Ann\n=== \n");
    f.close();
    QCOMPARE(readSetting("user"), QString("Ann"));
    writeSetting("OnTop", "1");
    QCOMPARE(readSetting("OnTop"), QString("1"));
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
    // Root writes anywhere, so the logging runs as an ordinary user.
    const pid_t child = ::fork();
    if (child == 0) {
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        RunLog::open();
        RunLog::line("run");
        RunLog::close();
        ProgramLog::record("kept");
        const bool moved = logFolder() == data + "/Orvenko Soft/Pixalto"
                        && logLines(runLogPath()).last() == "run"
                        && logLines(programLogPath()).last().endsWith("> kept\"");
        ::_exit(moved ? 0 : 1);
    }
    int status = -1;
    QCOMPARE(::waitpid(child, &status, 0), child);
    ::chmod(QFile::encodeName(env.programFolder()).constData(), 0755);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    QVERIFY(!QFile::exists(env.programFolder() + "/PXRunLog.txt"));
    QVERIFY(!QFile::exists(env.programFolder() + "/PXLog.txt"));
}

QTEST_MAIN(SettingsLogsTest)
#include "test_settings_logs.moc"
