#include "messages/msgtypeform.h"

TMsgTypeForm* MsgTypeForm = nullptr;

TMsgTypeForm::TMsgTypeForm(QWidget* parent) : messages::PickListForm(QStringLiteral("MsgTypeForm"), parent) {
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
