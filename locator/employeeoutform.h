#pragma once
// The out-of-office board: the employees whose status is "Out".
#include "controls/form.h"

class TEmployeeOutForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TEmployeeOutForm(QWidget* parent = nullptr);
    ~TEmployeeOutForm() override;
};

extern TEmployeeOutForm* EmployeeOutForm;
