#include "controls/widgetfactory.h"
#include <QHash>

namespace controls {

namespace {
QHash<QString, WidgetCreator>& registry() {
    static QHash<QString, WidgetCreator> r;
    return r;
}
} // namespace

void registerWidgetClass(const QString& className, WidgetCreator creator) {
    registry().insert(className, std::move(creator));
}

QWidget* createRegisteredWidget(const QString& className, QWidget* parent) {
    auto it = registry().constFind(className);
    if (it == registry().constEnd() || !*it) return nullptr;
    return (*it)(parent);
}

} // namespace controls
