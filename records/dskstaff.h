#pragma once
// The employee profile window.
#include "controls/form.h"

class TDSKSTAFF : public controls::Form {
    Q_OBJECT
public:
    explicit TDSKSTAFF(QWidget* parent = nullptr);
    ~TDSKSTAFF() override;
};

extern TDSKSTAFF* DSKSTAFF;
