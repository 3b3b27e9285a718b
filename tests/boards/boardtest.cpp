#include "boardtest.h"
#include "layouts/layouts.h"
#include "locator/employeeoutform.h"
#include "locator/inofficeform.h"
#include "locator/locatorform.h"
#include "locator/locatorform2.h"
#include "locator/updateform.h"
#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include "data/dataset.h"

namespace boardtest {

Desk::Desk()
    : db_(std::make_unique<testsupport::TestDatabase>()), env_(std::make_unique<testsupport::UiTestEnv>()) {
    testsupport::useFixedFormats();
    layouts::ensureLoaded();
}

Desk::~Desk() {
    while (!windows_.isEmpty())
        delete windows_.takeLast();
    env_.reset();
    db_.reset();
}

void Desk::createWindows() {
    windows_ << new TUpdateForm << new TLocatorForm << new TLocatorForm2 << new TInOfficeForm
             << new TEmployeeOutForm;
}

QStringList titles(const controls::DBGrid* grid) {
    QStringList out;
    for (int c = 0; c < grid->shownColumnCount(); ++c)
        out << grid->columnTitle(c);
    return out;
}

int columnOf(const controls::DBGrid* grid, const QString& title) { return int(titles(grid).indexOf(title)); }

QStringList column(const controls::DBGrid* grid, const QString& title) {
    QStringList out;
    const int c = columnOf(grid, title);
    if (c < 0) return {QStringLiteral("<no column %1>").arg(title)};
    const data::DataSet* ds = grid->dataSet();
    if (!ds || !ds->Active() || (ds->IsEmpty() && ds->State() != data::DataSetState::Insert))
        return {}; // the one blank line an empty grid offers is no row
    for (int r = 0; r < grid->shownRowCount(); ++r)
        if (!grid->isInsertRow(r)) out << grid->cellText(r, c);
    return out;
}

QString currentCell(const controls::DBGrid* grid, const QString& title) {
    const int c = columnOf(grid, title);
    return c < 0 ? QStringLiteral("<no column %1>").arg(title) : grid->cellText(grid->currentShownRow(), c);
}

} // namespace boardtest
