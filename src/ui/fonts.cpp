#include "ui/fonts.h"

#include <QStringList>

namespace sornel {

QFont defaultGuiFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Sans Serif")});
    font.setPixelSize(12);
    return font;
}

QFont clockFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("SimHei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Sans Serif")});
    font.setPixelSize(29);
    font.setWeight(QFont::Bold);
    return font;
}

QString classicGroupBoxStyle()
{
    return QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; top: 0px; padding: 0px 2px; background-color: palette(window); }");
}

} // namespace sornel
