#include "browser/open_start_path.h"

#include "browser/main_lists.h"
#include "controls/file_list.h"
#include "core/file_pattern.h"
#include "core/file_system.h"
#include "core/paths.h"
#include "picture/picture_loader.h"
#include "report/error_report.h"
#include "startup/form1.h"

#include <QFileInfo>
#include <QTimer>
#include <QWindow>

namespace {
// On the next turn of the event loop, after what the window does now.
void openSoon(Form1& form, const QString& path)
{
    QTimer::singleShot(0, &form, [&form, path] { openStartPath(form, path); });
}

// Opens the start path at the window's first expose.
class FirstExpose : public QObject {
public:
    FirstExpose(Form1& form, QString path) : QObject(&form), form(form), path(std::move(path))
    {
        form.windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            // After the expose, so that the window paints once as it is.
            openSoon(form, path);
            deleteLater();
        }
        return false;
    }

private:
    Form1& form;
    const QString path;
};

ErrorTexts openTexts(const QString& path)
{
    return {QStringLiteral("File open ERROR "), QStringLiteral("Unknown File open ERROR"),
            QStringLiteral("Unable to open ") + path
                + QStringLiteral(". Please check the name, or change the search pattern if the file is not listed.")};
}

int listIndexOf(const FileList& list, const QString& name)
{
    for (int i = 0; i < list.listCount(); ++i)
        if (list.item(i) == name)
            return i;
    return -1;
}

// A picture the list leaves out only for its pattern, while it lists pictures.
bool hiddenByPattern(const Form1& form, const FileList& list, const QFileInfo& file)
{
    return form.showsPictures() && !FilePattern(list.pattern()).matches(file.fileName())
        && probePicture(file.absoluteFilePath()).readable;
}

// Its type's pattern; a name without one stands for itself.
QString patternFor(const QFileInfo& file)
{
    return file.suffix().isEmpty() ? file.fileName() : QStringLiteral("*.") + file.suffix();
}
}

void openStartPath(Form1& form, const QString& path)
{
    const QFileInfo info(path);
    const MainLists lists = form.lists();
    FileList& list = lists.fileList();
    try {
        if (FileSystem::isFolder(info.absoluteFilePath())) {
            lists.openFolder(withTrailingSeparator(info.absoluteFilePath()));
            return;
        }
        lists.openFolder(withTrailingSeparator(info.absolutePath()));
        int index = listIndexOf(list, info.fileName());
        if (index < 0 && hiddenByPattern(form, list, info)) {
            form.setManualPattern(list.pattern() + QLatin1Char(';') + patternFor(info));
            index = listIndexOf(list, info.fileName());
        }
        if (index < 0)
            Errors::raise(Errors::badFileName());
        list.setListIndex(index);
    } catch (const PxError& error) {
        reportError(form.reporting(), openTexts(path), error.failure);
    }
}

void openStartPathOnceShown(Form1& form, const QString& path)
{
    // A window not shown yet has nothing to wait for.
    if (!form.windowHandle() || form.windowHandle()->isExposed())
        openSoon(form, path);
    else
        new FirstExpose(form, path);
}
