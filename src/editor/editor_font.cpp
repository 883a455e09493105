#include "editor/editor_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace {
QFont fixedPitch(double points)
{
    const QString design = QStringLiteral("Courier New");
    QFont font = QFontDatabase::families().contains(design, Qt::CaseInsensitive)
                   ? QFont(design)
                   : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(points);
    return font;
}
}

QFont editorFont() { return fixedPitch(8); }
QFont editorControlFont() { return fixedPitch(7.8); }
