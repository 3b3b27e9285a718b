#pragma once
// The department board: the employees of the department picked from the department list.
#include "locator/board.h"

class TLocatorForm2 : public TLocatorBoard {
    Q_OBJECT
public:
    explicit TLocatorForm2(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TLocatorForm2> LocatorForm2{"LocatorForm2"};
