#include "app/aboutform.h"
#include "app/appfonts.h"

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent) : controls::Form(QStringLiteral("AboutForm"), parent) {
    AboutForm = this;
    FORM_HANDLER(Button1Click);
    try {
        load();
    } catch (...) {
        AboutForm = nullptr;
        throw;
    }
    app::useRoundedFont(child("Label2"), 16);
    app::useRoundedFont(child("Label3"), 11);
    app::useRoundedFont(child("Label4"), 11);
    app::useRoundedFont(child("Label8"), 11);
}

TAboutForm::~TAboutForm() {
    if (AboutForm == this) AboutForm = nullptr;
}

void TAboutForm::Button1Click() { setModalResult(controls::ModalResult::OK); }
