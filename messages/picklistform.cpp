#include "messages/picklistform.h"
#include "data/table.h"
#include <QVariant>

namespace messages {

PickListForm::PickListForm(const QString& layoutName, QWidget* parent) : controls::Form(layoutName, parent) {
    FORM_HANDLER(FormCreate);
}

void PickListForm::FormCreate() {
    // The layout has opened it already; this only makes sure.
    table(QStringLiteral("Table1")).Open();
    // The window opens with the keyboard on the control the layout names (the lower panel),
    // so that keys reach the grid only once the user clicks or tabs into it.
    const QString active = property("activeControl").toString();
    if (!active.isEmpty()) child<QWidget>(active)->setFocus(Qt::OtherFocusReason);
}

} // namespace messages
