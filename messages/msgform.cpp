#include "messages/msgform.h"
#include "controls/db/dbcontrols.h"
#include "data/table.h"
#include "reports/connection.h"
#include "reports/project.h"

TMsgForm::TMsgForm(QWidget* parent) : controls::Form(QStringLiteral("MsgForm"), parent) {
    FORM_HANDLER(FormCreate);
    FORM_HANDLER(Button22Click);
    FORM_HANDLER(Button1Click);
    load();
    connection_ = std::make_unique<reports::DataConnection>(QStringLiteral("RvDataSetConnection1"),
                                                            &table(QStringLiteral("Table1")));
    project_ = std::make_unique<reports::Project>(QStringLiteral("RvProject1"));
    project_->SetProjectFile(reports::storedProjectFolder() + QStringLiteral("EmpMessages.rav"));
}

TMsgForm::~TMsgForm() {
    // The connection goes before the table it points at.
    connection_.reset();
}

void TMsgForm::FormCreate() {}

QString TMsgForm::recipientFilter(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("To ='") + quoted + QLatin1Char('\'');
}

void TMsgForm::Button22Click() {
    data::Table& mess = table(QStringLiteral("Table1"));
    // On an open table each step first stores a changed comment and goes to the first
    // passing message; on the closed one they only take effect with the opening.
    mess.SetFiltered(true);
    mess.SetFilter(
        recipientFilter(child<controls::DBLookupComboBox>(QStringLiteral("DBLookupComboBox1"))->text()));
    mess.SetActive(true);
}

// The connection stores a changed comment, reads the rows the filter in force lets pass (all
// of them while the table is closed) and afterwards puts the table back as it found it.
void TMsgForm::Button1Click() { RvProject1().Execute(); }
