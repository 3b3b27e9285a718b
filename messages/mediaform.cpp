#include "messages/mediaform.h"

TMediaForm* MediaForm = nullptr;

TMediaForm::TMediaForm(QWidget* parent) : messages::PickListForm(QStringLiteral("MediaForm"), parent) {
    // Reachable through its instance from the moment its creation begins.
    MediaForm = this;
    try {
        load();
    } catch (...) {
        MediaForm = nullptr;
        throw;
    }
}

TMediaForm::~TMediaForm() {
    if (MediaForm == this) MediaForm = nullptr;
}
