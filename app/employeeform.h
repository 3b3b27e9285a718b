#pragma once
// The employee search window. No command shows it; it keeps Staff open through "NAMEIndex"
// from start-up to the end of the run.
#include "controls/form.h"

class TEmployeeForm : public controls::Form {
    Q_OBJECT
public:
    explicit TEmployeeForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TEmployeeForm> EmployeeForm{"EmployeeForm"};
