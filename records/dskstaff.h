#pragma once
// The employee profile window: creates, retrieves, edits and deletes employees and hands its
// table to the password window. It opens empty and locked at every showing.
#include "controls/form.h"

class TDSKSTAFF : public controls::Form {
    Q_OBJECT
public:
    explicit TDSKSTAFF(QWidget* parent = nullptr);

    void FormCreate();
    void FormActivate();
    void Button1Click(); // "&Retrieve Employee Profile"
    void Button2Click(); // "New Profile"
    void Button3Click(); // "Password"
    void Button4Click(); // "Save"
    void Button5Click(); // "Edit Profile"
    void Button6Click(); // "Delete"
    void Button7Click(); // "Cancel"

    // The fourteen profile boxes, in the order they are locked and unlocked.
    static const QStringList& profileBoxes();

private:
    void setProfileReadOnly(bool on);
};

inline constexpr controls::FormInstance<TDSKSTAFF> DSKSTAFF{"DSKSTAFF"};
