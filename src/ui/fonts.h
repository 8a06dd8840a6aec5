#pragma once

#include <QFont>
#include <QString>

namespace sornel {

// The font of every control but the clock: a Chinese UI font at 12 pixels (SimSun where it
// exists, else the CJK sans serif the system has).
QFont defaultGuiFont();

// The clock display: a bold Hei-style Chinese font, 29 pixels high.
QFont clockFont();

// Group boxes drawn the classic way: the frame line runs through the middle of the title, so
// the controls placed 15 pixels below a box's top edge clear its title. For a window's style
// sheet.
QString classicGroupBoxStyle();

} // namespace sornel
