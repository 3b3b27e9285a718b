#pragma once
// The media list of the message pad: how a call can come in.
#include "messages/picklistform.h"

class TMediaForm : public messages::PickListForm {
    Q_OBJECT
public:
    explicit TMediaForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TMediaForm> MediaForm{"MediaForm"};
