#pragma once

#include <QFont>

namespace sornel {

// The font of every control but the clock: a Chinese UI font at 12 pixels (SimSun where it
// exists, else the CJK sans serif the system has).
QFont defaultGuiFont();

// The clock display: a bold Hei-style Chinese font, 29 pixels high.
QFont clockFont();

} // namespace sornel
