#pragma once
// The check-in window.
#include "controls/form.h"

class TForm12 : public controls::Form {
    Q_OBJECT
  public:
    explicit TForm12(QWidget* parent = nullptr);
    ~TForm12() override;
};

extern TForm12* Form12;
