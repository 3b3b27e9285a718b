#include "app/aboutform.h"
#include "app/appfonts.h"

TAboutForm::TAboutForm(QWidget* parent) : controls::Form(QStringLiteral("AboutForm"), parent) {
    FORM_HANDLER(Button1Click);
    load();
    app::useRoundedFont(child("Label2"), 16);
    app::useRoundedFont(child("Label3"), 11);
    app::useRoundedFont(child("Label4"), 11);
    app::useRoundedFont(child("Label8"), 11);
}

void TAboutForm::Button1Click() { setModalResult(controls::ModalResult::OK); }
