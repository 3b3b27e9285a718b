#pragma once
// The department board: the employees of one department.
#include "controls/form.h"

class TLocatorForm2 : public controls::Form {
    Q_OBJECT
  public:
    explicit TLocatorForm2(QWidget* parent = nullptr);
    ~TLocatorForm2() override;
};

extern TLocatorForm2* LocatorForm2;
