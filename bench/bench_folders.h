#pragma once
// Folders of generated pictures the benchmarks share; made once, kept in the
// temporary folder for the next run.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>

#include <cstdio>

// count distinct JPEGs of the given size, named pic00000.jpg and on.
inline void makeJpegFolder(const QString& dir, int count, QSize size)
{
    QDir().mkpath(dir);
    if (QDir(dir).entryList({"*.jpg"}, QDir::Files).size() >= count)
        return;
    std::printf("creating %d pictures of %d x %d in %s\n", count, size.width(), size.height(), qPrintable(dir));
    QImage image(size, QImage::Format_RGB32);
    for (int i = 0; i < count; ++i) {
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, size.width(), size.height());
        gradient.setColorAt(0, QColor::fromHsv(i % 360, 128 + i % 128, 255));
        gradient.setColorAt(1, QColor::fromHsv((i * 7 + 180) % 360, 200, 120));
        painter.fillRect(image.rect(), gradient);
        painter.setFont(QFont(QStringLiteral("Sans"), size.height() / 10));
        painter.drawText(image.rect(), Qt::AlignCenter, QString::number(i));
        painter.end();
        image.save(QStringLiteral("%1/pic%2.jpg").arg(dir).arg(i, 5, 10, QLatin1Char('0')), "jpg", 85);
    }
}
