#include "app/resources.h"

#include <QtGlobal>

// Outside any namespace, as Qt's resource macro requires. A static library must register its
// resources itself.
static void registerCompiledResources()
{
    Q_INIT_RESOURCE(sornel);
}

namespace sornel {

void registerResources()
{
    static const bool registered = [] {
        registerCompiledResources();
        return true;
    }();
    (void)registered;
}

} // namespace sornel
