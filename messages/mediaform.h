#pragma once
// The media list of the message pad.
#include "controls/form.h"

class TMediaForm : public controls::Form {
    Q_OBJECT
public:
    explicit TMediaForm(QWidget* parent = nullptr);
    ~TMediaForm() override;
};

extern TMediaForm* MediaForm;
