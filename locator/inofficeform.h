#pragma once
// The in-office board: the employees whose status is "IN".
#include "controls/form.h"

class TInOfficeForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TInOfficeForm(QWidget* parent = nullptr);
    ~TInOfficeForm() override;
};

extern TInOfficeForm* InOfficeForm;
