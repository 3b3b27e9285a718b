#pragma once
// The department board: the employees of the department picked from the department list.
#include "locator/board.h"

class TLocatorForm2 : public TLocatorBoard {
    Q_OBJECT
public:
    explicit TLocatorForm2(QWidget* parent = nullptr);
    ~TLocatorForm2() override;
};

extern TLocatorForm2* LocatorForm2;
