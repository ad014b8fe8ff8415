#include "Resources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitTeskImages()
{
    Q_INIT_RESOURCE(TeskImages);
}

namespace TeskResources {

void Register()
{
    static std::once_flag once;
    std::call_once(once, InitTeskImages);
}

} // namespace TeskResources
