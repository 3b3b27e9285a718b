#include "messages/addmsgform.h"
#include "controls/db/dbcontrols.h"
#include "data/table.h"
#include "messages/maillink.h"
#include "messages/mediaform.h"
#include "messages/msgtypeform.h"
#include "shell/shell.h"
#include <QLineEdit>

using controls::MessageDlg;
using controls::ModalResult;
using controls::MsgButtons;
using controls::MsgDlgType;

namespace {
const QString kStaff = QStringLiteral("Table1");
const QString kMess = QStringLiteral("Table2");
} // namespace

TAddMsgForm::TAddMsgForm(QWidget* parent) : controls::Form(QStringLiteral("AddMsgForm"), parent) {
    FORM_HANDLER(FormActivate);
    FORM_HANDLER(BitBtn3Click);
    FORM_HANDLER(Button4Click);
    FORM_HANDLER(Button3Click);
    FORM_HANDLER(Button1Click);
    FORM_HANDLER(Button33Click);
    FORM_HANDLER(Button2Click);
    load();
}

void TAddMsgForm::FormActivate() {
    // Closing never posts: a message left pending at the last showing is dropped here.
    table(kStaff).SetActive(false);
    table(kMess).SetActive(false);
    child<QWidget>(QStringLiteral("DBLookupCombo1"))->setFocus();
}

void TAddMsgForm::BitBtn3Click() {
    data::Table& staff = table(kStaff);
    data::Table& mess = table(kMess);
    staff.Open();
    mess.Open();
    // The move's browse check stores a message still pending, exactly as it stands (its
    // Status is always set, so it counts as changed); a refusal stops here with it pending.
    mess.Last();
    mess.Edit();
    mess.Insert();
    const QString to = child<controls::DBLookupCombo>(QStringLiteral("DBLookupCombo1"))->text();
    child<controls::DBEdit>(QStringLiteral("DBEdit1"))->setText(to);
    field(QStringLiteral("Table2Status")).SetText(QStringLiteral("Active"));
    // The address of the employee of that exact name; a name typed that is no employee's
    // gets no address, rather than the address of whichever row the table stands on.
    QString address;
    if (staff.Locate(QStringLiteral("Name"), to))
        address = child<controls::DBEdit>(QStringLiteral("DBEdit2"))->text();
    child<QLineEdit>(QStringLiteral("Edit2"))->setText(address);
    child<QWidget>(QStringLiteral("EditDate"))->setFocus();
}

void TAddMsgForm::Button4Click() {
    data::Table& mess = table(kMess);
    if (mess.State() != data::DataSetState::Edit && mess.State() != data::DataSetState::Insert) {
        mess.Cancel();
        return;
    }
    if (MessageDlg(QStringLiteral("Save changes before closing?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) != ModalResult::Yes)
        return;
    auto box = [this](const char* name) { return child<controls::DBEdit>(QLatin1String(name))->text(); };
    auto combo = [this](const char* name) {
        return child<controls::DBLookupCombo>(QLatin1String(name))->text();
    };
    // The boxes' texts as shown: an untouched phone box gives its mask's literals.
    field(QStringLiteral("Table2To")).SetAsString(box("DBEdit1"));
    field(QStringLiteral("Table2From")).SetAsString(box("EditFrom"));
    field(QStringLiteral("Table2Company")).SetAsString(box("EditCompany"));
    field(QStringLiteral("Table2Phone")).SetAsString(box("EditPhone"));
    field(QStringLiteral("Table2Ext")).SetAsString(box("EditExt"));
    field(QStringLiteral("Table2Media")).SetAsString(combo("DBLookupCombo3"));
    field(QStringLiteral("Table2MessageType")).SetAsString(combo("DBLookupCombo2"));
    field(QStringLiteral("Table2MessageGiven"))
        .SetAsString(child<controls::DBMemo>(QStringLiteral("DBMemo1"))->text());
    field(QStringLiteral("Table2MessageTakenBy")).SetAsString(box("EditMessageTakenBy"));
    mess.Post();
    child<controls::DBLookupCombo>(QStringLiteral("DBLookupCombo1"))->setText(QString());
}

void TAddMsgForm::Button3Click() {
    if (MessageDlg(QStringLiteral("Do you wish to email this message?"), MsgDlgType::Confirmation,
                   MsgButtons::YesNoCancel) == ModalResult::Yes) {
        messages::MailTexts texts;
        texts.address = child<QLineEdit>(QStringLiteral("Edit2"))->text();
        texts.from = child<controls::DBEdit>(QStringLiteral("EditFrom"))->text();
        texts.company = child<controls::DBEdit>(QStringLiteral("EditCompany"))->text();
        texts.phone = child<controls::DBEdit>(QStringLiteral("EditPhone"))->text();
        texts.messageType = child<controls::DBLookupCombo>(QStringLiteral("DBLookupCombo2"))->text();
        texts.time = child<controls::DBEdit>(QStringLiteral("EditTime"))->text();
        // Whether a mail program started is not looked at.
        shell::openLink(messages::mailLink(texts));
    }
    child<QWidget>(QStringLiteral("DBLookupCombo1"))->setFocus();
}

void TAddMsgForm::Button1Click() {
    table(kMess).Cancel();
    table(kStaff).SetActive(false);
    table(kMess).SetActive(false);
    child<QWidget>(QStringLiteral("DBLookupCombo1"))->setFocus();
}

// The lists' own windows; a pending message stays pending while they are up.
void TAddMsgForm::Button33Click() { MediaForm->ShowModal(); }

void TAddMsgForm::Button2Click() { MsgTypeForm->ShowModal(); }
