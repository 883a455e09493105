// Which application a file is handed to: the desktop's own choice, read from
// real association files, and never this program.
#include "core/failure.h"
#include "desktop/hand_off.h"
#include "support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class HandOffTest : public QObject {
    Q_OBJECT
private slots:
    void desktopChoiceButNeverThisProgram()
    {
        QTemporaryDir dir;
        const QString root = dir.path();
        const QByteArray entry = "[Desktop Entry]\nType=Application\nName=X\nExec=/bin/true %f\n";
        const QList<std::pair<QString, QByteArray>> files{
            {"config/mimeapps.list", "[Default Applications]\nimage/jpeg=gone.desktop;editor.desktop\n"
                                     "image/bmp=editor.desktop\nimage/gif=mine.desktop\n"
                                     "image/png=com.orvenkosoft.Pixalto.desktop;viewer.desktop\n"},
            {"config/kde-mimeapps.list", "[Default Applications]\nimage/bmp=viewer.desktop\n"},
            {"etc/mimeapps.list", "[Added Associations]\nimage/tiff=hidden.desktop\n"
                                  "[Removed Associations]\nimage/tiff=editor.desktop\n"},
            {"usr/applications/mimeapps.list", "[Default Applications]\nimage/jpeg=viewer.desktop\n"},
            {"usr/applications/mimeinfo.cache", "[MIME Cache]\nimage/tiff=editor.desktop;viewer.desktop\n"},
            {"home/applications/editor.desktop", entry},
            {"usr/applications/viewer.desktop", entry},
            {"usr/applications/hidden.desktop", entry + "Hidden=true\n"},
            {"usr/applications/mine.desktop", "[Desktop Entry]\nExec=\"" + QCoreApplication::applicationFilePath().toUtf8() + "\" %f\n"},
            {"usr/applications/com.orvenkosoft.Pixalto.desktop",
             fileBytes(PIXALTO_SOURCE_DIR "/packaging/com.orvenkosoft.Pixalto.desktop")}};
        for (const auto& [path, text] : files) {
            QDir(root).mkpath(QFileInfo(path).path());
            writeFile(root + "/" + path, text);
        }
        const XdgFolders folders{{root + "/config", root + "/etc"}, {root + "/home", root + "/usr"}, {"gnome", "kde"}};
        const auto chosen = [&](const std::function<QString()>& lookUp) {
            try {
                return QFileInfo(lookUp()).fileName();
            } catch (const PxError& error) {
                return "refused " + QString::number(error.failure.number);
            }
        };
        for (const auto& [type, application] : {std::pair{"image/jpeg", "editor.desktop"}, {"image/bmp", "viewer.desktop"},
                                                {"image/tiff", "viewer.desktop"}, {"image/png", "refused 31"},
                                                {"image/gif", "refused 31"}, {"image/webp", "refused 31"}})
            QCOMPARE(chosen([&] { return HandOff::application(folders, type); }), QString(application));

        // The same through the environment, except in a copy a hand-off started.
        for (const auto& [variable, folder] : {std::pair{"XDG_CONFIG_HOME", "/config"}, {"XDG_DATA_HOME", "/home"}})
            qputenv(variable, (root + folder).toLocal8Bit());
        QCOMPARE(chosen([&] { return HandOff::application(root + "/p.jpg"); }), QString("editor.desktop"));
        qputenv(HandOff::marker, "1");
        QCOMPARE(chosen([&] { return HandOff::application(root + "/p.jpg"); }), QString("refused 31"));
    }
};

QTEST_MAIN(HandOffTest)
#include "test_hand_off.moc"
