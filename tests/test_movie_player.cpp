#include "core/failure.h"
#include "movie/movie_player.h"
#include "movie/mpv_library.h"
#include "support/fixtures.h"
#include "support/fuse_mount.h"
#include "support/test_environment.h"
#include "support/test_files.h"

#include <QScopeGuard>
#include <QtTest>

#include <memory>

class TestMoviePlayer : public QObject {
    Q_OBJECT
    TestEnvironment env;
    QTemporaryDir clips;
    // A drive whose reads wait while the gate file exists: a player that
    // opens a file on it waits until the test lets the read go.
    std::unique_ptr<FuseMount> stalling;
    QString gate;

    QString clip(const QString& name) const { return clips.filePath(name); }
    QString written(const QString& name, const QByteArray& bytes) const
    {
        writeFile(clip(name), bytes);
        return clip(name);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(clip("clip.avi"), "testsrc=rate=10:size=160x120"));
        // With sound, whose output must also end with the player.
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=rate=10:size=200x150",
                                "-f", "lavfi", "-i", "sine=d=2", "-t", "2", "-c:v", "mjpeg", "-c:a", "pcm_s16le",
                                clip("clip.mov")});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        QVERIFY(QDir(clips.path()).mkpath("backing") && QDir(clips.path()).mkpath("share"));
        gate = clip("closed");
        QVERIFY(QFile::copy(clip("clip.avi"), clip("backing/stalled.avi")));
        stalling = std::make_unique<FuseMount>("stall_fs", QStringList{clip("backing"), clip("share"), gate}, clip("share"));
    }

    void playsAtSpeedStartsOverAndReleasesTheFile()
    {
        // The first player of the run opens its file while libmpv loads.
        QVERIFY(!MpvLibrary::loaded());
        auto player = std::make_unique<MoviePlayer>();
        player->setSpeed(2.0);
        QSignalSpy started(player.get(), &MoviePlayer::started);
        QSignalSpy times(player.get(), &MoviePlayer::timeChanged);
        // setFileName returns before the file is open; the read-outs hold
        // when started() comes.
        QList<QPair<qint32, QSize>> atStart;
        connect(player.get(), &MoviePlayer::started, this,
                [&] { atStart.append({player->durationMs(), player->videoSize()}); });
        // The name given last before the library is there is the one opened.
        player->setFileName(clip("clip.mov"));
        player->setFileName(clip("clip.avi"));
        QVERIFY(player->loading() && started.isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 20000);
        QCOMPARE(atStart, (QList<QPair<qint32, QSize>>{{2000, QSize(160, 120)}}));
        QCOMPARE(player->speed(), 2.0);
        for (const char* part : {"Format: avi", "Video codec: mpeg4", "Size: 160 x 120", "Duration: 0:02"})
            QVERIFY2(player->mediaInfo().contains(part), qPrintable(player->mediaInfo()));
        QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 0, 20000);
        player->pause();
        const qint32 held = player->positionMs();
        QTest::qWait(400);
        QCOMPARE(player->positionMs(), held);

        player->play();
        // At the end the movie stays open, paused on its last frame.
        QTRY_VERIFY_WITH_TIMEOUT(player->isPaused(), 20000);
        QVERIFY(player->positionMs() >= 1800);
        QVERIFY(times.count() >= 2);
        for (int i = 1; i < times.count(); ++i)
            QVERIFY(times.at(i).at(0).toInt() > times.at(i - 1).at(0).toInt());
        // Another movie loaded at the end plays, every time.
        for (const char* next : {"clip.mov", "clip.avi", "clip.mov"}) {
            player->setFileName(clip(next));
            QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 0, 20000);
            QTRY_VERIFY_WITH_TIMEOUT(player->isPaused(), 20000);
        }
        times.clear();
        player->play();
        QTRY_VERIFY_WITH_TIMEOUT(!times.isEmpty() && times.first().at(0).toInt() < 1000, 20000);

        // An empty name releases the playing file, and nothing of it plays on.
        times.clear();
        player->setFileName(QString());
        QCOMPARE(player->durationMs(), 0);
        QTest::qWait(300);
        QCOMPARE(times.count(), 0);

        // A player destroyed while playing leaves libmpv usable for the next.
        player->setFileName(clip("clip.mov"));
        QTRY_VERIFY_WITH_TIMEOUT(player->positionMs() > 0, 20000);
        player.reset();
        MoviePlayer next;
        next.setFileName(clip("clip.mov"));
        QTRY_COMPARE_WITH_TIMEOUT(next.durationMs(), 2000, 20000);
    }

    void cleanupTestCase()
    {
        QFile::remove(gate);
        stalling.reset();
    }

    void refusesWhatItCannotPlay_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("loadWaitMs");
        FIXTURE(viv, "clip.viv");
        QTest::newRow("empty") << written("empty.avi", {}) << 0;
        QTest::newRow("noise") << written("noise.mpg", QByteArray(4096, '\x5a')) << 0;
        QTest::newRow("truncated avi") << written("cut.avi", fileBytes(clip("clip.avi")).left(100)) << 0;
        QTest::newRow("broken viv") << written("broken.viv", fileBytes(viv).left(60) + QByteArray(2000, '\xff')) << 0;
        // mpv would follow a playlist to other files.
        QTest::newRow("playlist") << written("list.avi", "#EXTM3U\n" + viv.toUtf8() + "\n") << 0;
        QTest::newRow("missing") << clip("missing.avi") << 0;
        QTest::newRow("folder") << clips.path() << 0;
        // The player would open the files an edit list names.
        QTest::newRow("edit list") << written("edit.avi", "# mpv EDL v0\n" + viv.toUtf8() + "\n") << 0;
        // A file on a drive that holds its reads: the player is given up on,
        // and is free for the next file once the drive answers.
        QTest::newRow("never answers") << clip("share/stalled.avi") << 1500;
    }
    void refusesWhatItCannotPlay()
    {
        QFETCH(QString, file);
        QFETCH(int, loadWaitMs);
        FIXTURE(viv, "clip.viv");
        if (loadWaitMs > 0) {
            REQUIRE_MOUNTED(*stalling);
            writeFile(gate, {});
        }
        MoviePlayer player;
        // The drive lets its reads go before the player ends, whatever fails.
        const auto letGo = qScopeGuard([&] { QFile::remove(gate); });
        if (loadWaitMs > 0)
            player.setLoadWaitMs(loadWaitMs);
        QList<QSize> startedSizes;
        connect(&player, &MoviePlayer::started, this, [&] { startedSizes.append(player.videoSize()); });
        QSignalSpy failed(&player, &MoviePlayer::failed);
        // Given while another file opens: that one never reports.
        VERIFY_NO_PXERROR(player.setFileName(clip("clip.avi")));
        Failure failure;
        try {
            player.setFileName(file);
            QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
            failure = failed.first().first().value<Failure>();
        } catch (const PxError& e) {
            failure = e.failure;
        }
        QCOMPARE(failure.number, Errors::movieLoad({}).number);
        if (loadWaitMs > 0)
            QCOMPARE(failure.description, Errors::movieLoad("the player did not answer").description);
        QCOMPARE(player.fileName(), QString());
        QCOMPARE(player.durationMs(), 0);
        QFile::remove(gate);

        // The next file plays, with its own size and description; nothing
        // of the superseded or refused file (or of the files a playlist
        // names) started before it.
        VERIFY_NO_PXERROR(player.setFileName(viv));
        QTRY_COMPARE_WITH_TIMEOUT(startedSizes.size(), 1, 20000);
        QCOMPARE(startedSizes.first(), QSize(176, 144));
        QCOMPARE(player.durationMs(), 2000);
        for (const char* part : {"Format: vivo", "Video codec: h263", "Size: 176 x 144", "Duration: 0:02"})
            QVERIFY2(player.mediaInfo().contains(part), qPrintable(player.mediaInfo()));
    }
};

QTEST_MAIN(TestMoviePlayer)
#include "test_movie_player.moc"
