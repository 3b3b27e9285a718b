#pragma once
// The message pad's two pick lists share one window: a one-column grid over the list's
// table, the navigator and "&Done". The media list and the message-type list differ only in
// their stored layouts.
#include "controls/form.h"

namespace messages {

class PickListForm : public controls::Form {
    Q_OBJECT
public:
    void FormCreate();

protected:
    PickListForm(const QString& layoutName, QWidget* parent);
};

} // namespace messages
