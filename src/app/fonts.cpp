#include "app/fonts.h"

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

} // namespace sornel
