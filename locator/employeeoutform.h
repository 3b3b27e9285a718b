#pragma once
// The out-of-office board: the employees whose status is "Out".
#include "locator/board.h"

class TEmployeeOutForm : public TLocatorBoard {
    Q_OBJECT
public:
    explicit TEmployeeOutForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TEmployeeOutForm> EmployeeOutForm{"EmployeeOutForm"};
