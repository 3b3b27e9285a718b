#pragma once
// The check-out window (the class name notwithstanding).
#include "controls/form.h"

class TCheckInForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TCheckInForm(QWidget* parent = nullptr);
    ~TCheckInForm() override;
};

extern TCheckInForm* CheckInForm;
