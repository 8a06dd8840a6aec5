#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace sornel {

void centreOnScreen(QWidget& window, QSize outerSize)
{
    const QScreen* screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->geometry();
    window.move(area.x() + (area.width() - outerSize.width()) / 2,
                area.y() + (area.height() - outerSize.height()) / 2);
}

} // namespace sornel
