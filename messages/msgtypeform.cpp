#include "messages/msgtypeform.h"

TMsgTypeForm::TMsgTypeForm(QWidget* parent) : messages::PickListForm(QStringLiteral("MsgTypeForm"), parent) {
    load();
}
