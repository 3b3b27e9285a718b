#pragma once
// The widget classes a stored layout may name beyond Qt's own. The layout loader asks this
// registry first; the data-aware controls register themselves (controls/db).
#include <QString>
#include <functional>

class QWidget;

namespace controls {

using WidgetCreator = std::function<QWidget*(QWidget* parent)>;
void registerWidgetClass(const QString& className, WidgetCreator creator);
QWidget* createRegisteredWidget(const QString& className, QWidget* parent); // nullptr if unknown

} // namespace controls
