#pragma once
// The alphabetical board: every employee's presence status.
#include "controls/form.h"

class TLocatorForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TLocatorForm(QWidget* parent = nullptr);
    ~TLocatorForm() override;
};

extern TLocatorForm* LocatorForm;
