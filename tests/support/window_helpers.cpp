#include "support/window_helpers.h"

#include <QWheelEvent>

bool fileArrived(const Form1& form)
{
    return QTest::qWaitFor([&] { return !form.loadingFile(); }, 60000);
}

void turnWheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers keys)
{
    const QPointF at(5, 5);
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

Viewer::Viewer(const Desktop& desktop, const QString& folder, const QString& pattern) : form(desktop)
{
    ui.File1->setPattern(pattern);
    ui.Dir1->setPath(folder);
}

void Viewer::select(const QString& name)
{
    beginSelect(name);
    QVERIFY(fileArrived(form));
}

void Viewer::runInfoList()
{
    ui.mnuinfolist->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(form.isEnabled(), 60000);
}

void Viewer::beginSelect(const QString& name)
{
    const int index = int(listed().indexOf(name));
    QVERIFY2(index >= 0, qPrintable("no such file in the list: " + name));
    ui.File1->setListIndex(index);
}

QStringList Viewer::listed() const
{
    QStringList names;
    for (int i = 0; i < ui.File1->listCount(); ++i)
        names.append(ui.File1->item(i));
    return names;
}
