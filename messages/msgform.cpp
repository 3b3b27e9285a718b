#include "messages/msgform.h"

TMsgForm* MsgForm = nullptr;

TMsgForm::TMsgForm(QWidget* parent) : controls::Form(QStringLiteral("MsgForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    MsgForm = this;
    try {
        load();
    } catch (...) {
        MsgForm = nullptr;
        throw;
    }
}

TMsgForm::~TMsgForm() {
    if (MsgForm == this) MsgForm = nullptr;
}
