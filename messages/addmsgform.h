#pragma once
// Taking a telephone message.
#include "controls/form.h"

class TAddMsgForm : public controls::Form {
    Q_OBJECT
public:
    explicit TAddMsgForm(QWidget* parent = nullptr);
    ~TAddMsgForm() override;
};

extern TAddMsgForm* AddMsgForm;
