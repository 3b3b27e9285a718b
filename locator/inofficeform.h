#pragma once
// The in-office board: the employees whose status is "IN".
#include "locator/board.h"

class TInOfficeForm : public TLocatorBoard {
    Q_OBJECT
public:
    explicit TInOfficeForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TInOfficeForm> InOfficeForm{"InOfficeForm"};
