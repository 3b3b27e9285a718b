#pragma once
// The department list: a grid edited in place, the navigator and a close button.
#include "controls/form.h"

class TDeptForm : public controls::Form {
    Q_OBJECT
public:
    explicit TDeptForm(QWidget* parent = nullptr);

    void FormCreate();
};

inline constexpr controls::FormInstance<TDeptForm> DeptForm{"DeptForm"};
