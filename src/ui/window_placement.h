#pragma once

#include <QSize>

class QWidget;

namespace sornel {

// Places a top-level window so that its outer frame of `outerSize` is centred on its screen:
// left = (screen width - width) / 2, top = (screen height - height) / 2, rounded towards zero
// (a screen smaller than the window gives a negative edge).
void centreOnScreen(QWidget& window, QSize outerSize);

} // namespace sornel
