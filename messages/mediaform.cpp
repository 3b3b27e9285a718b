#include "messages/mediaform.h"

TMediaForm::TMediaForm(QWidget* parent) : messages::PickListForm(QStringLiteral("MediaForm"), parent) {
    load();
}
