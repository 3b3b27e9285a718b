#pragma once
// The message reader and the message report.
#include "controls/form.h"

class TMsgForm : public controls::Form {
    Q_OBJECT
public:
    explicit TMsgForm(QWidget* parent = nullptr);
    ~TMsgForm() override;
};

extern TMsgForm* MsgForm;
