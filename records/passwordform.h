#pragma once
// The password window, which edits the profile window's current row.
#include "controls/form.h"

class TPasswordForm : public controls::Form {
    Q_OBJECT
public:
    explicit TPasswordForm(QWidget* parent = nullptr);
    ~TPasswordForm() override;
};

extern TPasswordForm* PasswordForm;
