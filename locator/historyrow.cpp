#include "locator/historyrow.h"
#include "controls/db/dbcontrols.h"
#include "controls/form.h"
#include "data/database.h"
#include "data/formatsettings.h"
#include "data/table.h"

namespace locator {

void postWithHistoryRow(controls::Form& form, data::Table& staff, data::Table& log, const QString& logName,
                        std::initializer_list<FieldCopy> copies) {
    try {
        data::Transaction transaction(data::Database::forAlias(staff.DatabaseName()));
        staff.Post();
        staff.Refresh();
        log.Edit();
        log.Insert();
        const data::FormatSettings& formats = data::formatSettings();
        auto* dateBox = form.child<controls::DBEdit>(QStringLiteral("DBEdit2"));
        dateBox->setText(formats.todayShortDate());
        form.field(logName + QLatin1String("Transaction_Date")).SetAsString(dateBox->text());
        // Assigning the field reloads every box that shows it, so no scratch box writes a
        // text of its own when the row is posted.
        auto* timeBox = form.child<controls::DBEdit>(QStringLiteral("DBEdit3"));
        timeBox->setText(formats.nowLongTime());
        form.field(logName + QLatin1String("Transaction_Time")).SetAsString(timeBox->text());
        for (const auto& [from, to] : copies)
            form.field(QLatin1String(to)).SetAsString(form.field(QLatin1String(from)).AsString());
        log.Post();
        transaction.Commit();
    } catch (...) {
        log.Cancel();
        throw;
    }
    log.Refresh();
}

} // namespace locator
