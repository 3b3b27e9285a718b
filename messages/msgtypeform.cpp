#include "messages/msgtypeform.h"

TMsgTypeForm* MsgTypeForm = nullptr;

TMsgTypeForm::TMsgTypeForm(QWidget* parent) : controls::Form(QStringLiteral("MsgTypeForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    MsgTypeForm = this;
    try {
        load();
    } catch (...) {
        MsgTypeForm = nullptr;
        throw;
    }
}

TMsgTypeForm::~TMsgTypeForm() {
    if (MsgTypeForm == this) MsgTypeForm = nullptr;
}
