#pragma once
// The locator screen: one employee's presence status, found by the beginning of the last
// name, and the four boards. It writes nothing: every box is read-only and the navigator only
// moves and re-reads.
#include "controls/form.h"

class TUpdateForm : public controls::Form {
    Q_OBJECT
public:
    explicit TUpdateForm(QWidget* parent = nullptr);

    void FormActivate(); // each showing starts empty
    void Button1Click(); // "&Search"
    void Button2Click(); // "Alphabetical View"
    void Button3Click(); // "Department View"
    void Button4Click(); // "Employees IN Office"
    void Button5Click(); // "Employees Out of Office"
};

inline constexpr controls::FormInstance<TUpdateForm> UpdateForm{"UpdateForm"};
