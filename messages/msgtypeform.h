#pragma once
// The message-type list of the message pad.
#include "controls/form.h"

class TMsgTypeForm : public controls::Form {
    Q_OBJECT
public:
    explicit TMsgTypeForm(QWidget* parent = nullptr);
    ~TMsgTypeForm() override;
};

extern TMsgTypeForm* MsgTypeForm;
