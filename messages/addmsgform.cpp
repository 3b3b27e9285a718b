#include "messages/addmsgform.h"

TAddMsgForm* AddMsgForm = nullptr;

TAddMsgForm::TAddMsgForm(QWidget* parent) : controls::Form(QStringLiteral("AddMsgForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    AddMsgForm = this;
    try {
        load();
    } catch (...) {
        AddMsgForm = nullptr;
        throw;
    }
}

TAddMsgForm::~TAddMsgForm() {
    if (AddMsgForm == this) AddMsgForm = nullptr;
}
