#pragma once
// The password window. The profile window points its data source at its own table before
// showing it, so the box edits the profile window's current row.
#include "controls/form.h"

class TPasswordForm : public controls::Form {
    Q_OBJECT
public:
    explicit TPasswordForm(QWidget* parent = nullptr);

    void FormCreate();
};

inline constexpr controls::FormInstance<TPasswordForm> PasswordForm{"PasswordForm"};
