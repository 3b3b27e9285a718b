#pragma once
// The department list.
#include "controls/form.h"

class TDeptForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TDeptForm(QWidget* parent = nullptr);
    ~TDeptForm() override;
};

extern TDeptForm* DeptForm;
