#pragma once
// The locator screen: one employee's presence status, the name search and the four boards.
#include "controls/form.h"

class TUpdateForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TUpdateForm(QWidget* parent = nullptr);
    ~TUpdateForm() override;
};

extern TUpdateForm* UpdateForm;
