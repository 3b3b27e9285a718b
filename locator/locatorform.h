#pragma once
// The alphabetical board: every employee's presence status, re-read at each showing.
#include "locator/board.h"

class TLocatorForm : public TLocatorBoard {
    Q_OBJECT
public:
    explicit TLocatorForm(QWidget* parent = nullptr);
};

inline constexpr controls::FormInstance<TLocatorForm> LocatorForm{"LocatorForm"};
