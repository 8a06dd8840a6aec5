#pragma once

namespace sornel {

// The command behind "关于": the about box, returning when it is closed.
void showAbout();

} // namespace sornel
