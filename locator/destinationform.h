#pragma once
// The destination list.
#include "controls/form.h"

class TDestinationForm : public controls::Form {
    Q_OBJECT
  public:
    explicit TDestinationForm(QWidget* parent = nullptr);
    ~TDestinationForm() override;
};

extern TDestinationForm* DestinationForm;
