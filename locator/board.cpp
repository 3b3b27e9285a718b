#include "locator/board.h"
#include "controls/db/dblookup.h"
#include "data/table.h"
#include <QLineEdit>

const TLocatorBoard::Design TLocatorBoard::Alphabetical{"LocatorForm", "StaffTable", Activation::Refresh,
                                                        Lower::NameSearch};
const TLocatorBoard::Design TLocatorBoard::Department{"LocatorForm2", "Table1", Activation::Nothing,
                                                      Lower::DepartmentFilter};
const TLocatorBoard::Design TLocatorBoard::InOffice{"InOfficeForm", "StaffTable", Activation::None,
                                                    Lower::NameSearch};
const TLocatorBoard::Design TLocatorBoard::OutOfOffice{"EmployeeOutForm", "StaffTable", Activation::None,
                                                       Lower::NameSearch};

TLocatorBoard::TLocatorBoard(const Design& design, QWidget* parent)
    : controls::Form(QString::fromLatin1(design.layoutName), parent), design_(design) {
    if (design_.activation != Activation::None) FORM_HANDLER(FormActivate);
    FORM_HANDLER(Button1Click);
}

data::Table& TLocatorBoard::boardTable() const { return table(QString::fromLatin1(design_.tableName)); }

void TLocatorBoard::FormActivate() {
    if (design_.activation != Activation::Refresh) return;
    // Open from start-up, so opening only makes sure; the re-read shows the check-outs and
    // check-ins saved since the last showing and stores a grid edit left pending then.
    data::Table& t = boardTable();
    t.Open();
    t.Refresh();
}

void TLocatorBoard::Button1Click() {
    if (design_.lower == Lower::DepartmentFilter)
        selectDepartment();
    else
        searchByName();
}

void TLocatorBoard::searchByName() {
    // Within the rows the board shows: on a filtered board the search lands on the next
    // listed employee. Each step first stores a changed grid row.
    data::Table& t = boardTable();
    t.SetIndexName(QStringLiteral("NAMEIndex"));
    t.SetKey();
    t.FindNearest({child<QLineEdit>(QStringLiteral("Edit1"))->text()});
}

void TLocatorBoard::selectDepartment() {
    data::Table& t = boardTable();
    t.SetFiltered(true);
    // The picked name as a quoted constant: a quote inside it is doubled, so a name such
    // as "Mary's Office" can neither end the constant early nor change the expression.
    QString name = child<controls::DBLookupComboBox>(QStringLiteral("DBLookupComboBox1"))->text();
    name.replace(u'\'', QStringLiteral("''"));
    t.SetFilter(QStringLiteral("Department ='") + name + u'\'');
    // The first selection opens the table; setting the filter on an open table has already
    // gone back to its first row, read afresh.
    t.SetActive(true);
}
