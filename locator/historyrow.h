#pragma once
// The Save step the check-out and check-in windows share: the employee's row is posted and
// one history row appended to Staff_Log, together or not at all.
#include <QString>
#include <initializer_list>
#include <utility>

namespace controls {
class Form;
}
namespace data {
class Table;
}

namespace locator {

// One value the history row copies: the employee's field component and the history row's.
using FieldCopy = std::pair<const char*, const char*>;

// In one transaction: posts `staff` and re-reads it, appends a row to `log` stamped with
// today's date and the time now (through the window's scratch boxes DBEdit2 and DBEdit3, into
// the log's "<logName>Transaction_Date" and "<logName>Transaction_Time"), copies `copies`
// and posts it; then re-reads the log. A failure of either write rolls both back, leaves the
// employee's row in edit with its values, drops the history row and is raised again.
void postWithHistoryRow(controls::Form& form, data::Table& staff, data::Table& log, const QString& logName,
                        std::initializer_list<FieldCopy> copies);

} // namespace locator
