#pragma once

namespace sornel {

// Makes the program's compiled-in images and sounds available under ":/"; safe to call often.
void registerResources();

} // namespace sornel
