#include "layouts/layouts.h"
#include <QtGlobal>

static void initLayoutResources() { Q_INIT_RESOURCE(layouts); }

namespace layouts {
void ensureLoaded() {
    static bool done = false;
    if (!done) {
        initLayoutResources();
        done = true;
    }
}
} // namespace layouts
