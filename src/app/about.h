#pragma once

class QWidget;

namespace sornel {

// The command behind "关于": the about box over `window`, returning when it is closed.
void showAbout(QWidget& window);

} // namespace sornel
