#pragma once
// The about box: the picture, the product's name, its version text and date.
#include "controls/form.h"

class TAboutForm : public controls::Form {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void Button1Click(); // "OK"
};

inline constexpr controls::FormInstance<TAboutForm> AboutForm{"AboutForm"};
