#include "startup/form1.h"

#include "controls/auto_size_label.h"
#include "controls/file_list.h"
#include "controls/status_bar.h"

#include <QGroupBox>
#include <QRadioButton>

void Form1::showFileCount()
{
    Label6->setCaption(QString::number(File1->listCount()) + QStringLiteral(" File(s)"));
}

void Form1::showCurrent(const QString& number)
{
    Label7->setCaption(QStringLiteral("Current: ") + number);
}

void Form1::setFileKind(bool pictures, const QString& pattern)
{
    const QStringList captions = pictures ? QStringList{"1:4", "1:2", "1:1", "2:1"}
                                          : QStringList{".25", ".50", "1.0", "2.0"};
    Frame1->setTitle(pictures ? QStringLiteral("Zoom") : QStringLiteral("Movie speed"));
    const QList<QRadioButton*> options{Option1, Option2, Option3, Option4};
    for (int i = 0; i < options.size(); ++i)
        options[i]->setText(captions[i]);
    // A stored pattern the list refuses leaves the list as it was.
    ignoreFailure([&] { File1->setPattern(pattern); });
    StatusBar1->setText(1, pictures ? QStringLiteral(" Pictures ") : QStringLiteral(" Animations "));
    StatusBar1->setTooltip(4, pictures ? QStringLiteral("Zoom info") : QStringLiteral("Movie speed info"));
    Label2 = pictures ? QStringLiteral("pic") : QStringLiteral("avi");
}
