#pragma once
// The message-type list of the message pad: what a caller can ask for.
#include "messages/picklistform.h"

class TMsgTypeForm : public messages::PickListForm {
    Q_OBJECT
public:
    explicit TMsgTypeForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TMsgTypeForm> MsgTypeForm{"MsgTypeForm"};
