#pragma once
// The about box: the picture, the product's name, its version text and date.
#include "controls/form.h"

class TAboutForm : public controls::Form {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    void Button1Click(); // "OK"
};

extern TAboutForm* AboutForm;
