#pragma once
// The check-out window (the class name notwithstanding): marks one employee as out of the
// office and appends a history row to Staff_Log for every saved check-out.
#include "controls/form.h"

class TCheckInForm : public controls::Form {
    Q_OBJECT
public:
    explicit TCheckInForm(QWidget* parent = nullptr);

    void FormCreate();
    void FormActivate();
    void StaffTableAfterOpen();
    void StaffTableBeforeClose(); // both the before-close and the after-close event
    void EditDateLeftChange();
    void Button344Click();         // "Check Out"
    void Button1Click();           // "Save"
    void Button2Click();           // "Main Menu"
    void Button3Click();           // "Destinations"
    void DBLookupComboBox1Click(); // a name chosen in the name picker
};

inline constexpr controls::FormInstance<TCheckInForm> CheckInForm{"CheckInForm"};
