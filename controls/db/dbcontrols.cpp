#include "controls/db/dbcontrols.h"

#include "controls/widgetfactory.h"

namespace controls {

namespace {
template <class T> void registerClass(const char* name) {
    registerWidgetClass(QString::fromLatin1(name), [](QWidget* parent) -> QWidget* { return new T(parent); });
}
} // namespace

void registerDataControls() {
    registerClass<DBEdit>("DBEdit");
    registerClass<DBMemo>("DBMemo");
    registerClass<DBLookupCombo>("DBLookupCombo");
    registerClass<DBLookupComboBox>("DBLookupComboBox");
    registerClass<DBGrid>("DBGrid");
    registerClass<DBNavigator>("DBNavigator");
}

} // namespace controls
