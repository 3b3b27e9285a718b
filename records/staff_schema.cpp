#include "records/staff_schema.h"

namespace records {

data::TableDef staffTable() {
    using data::FieldType;
    data::TableDef t;
    t.name = "Staff";
    t.fields = {
        data::column("Employee_No", FieldType::AutoInc),
        data::textColumn("Name", 25),
        data::column("Emp_Num", FieldType::Float),
        data::textColumn("Password", 8),
        data::textColumn("EMail", 35),
        data::textColumn("Social_Security", 12),
        data::textColumn("Address1", 25),
        data::textColumn("Address2", 25),
        data::textColumn("City", 25),
        data::textColumn("State", 2),
        data::textColumn("ZipCode", 12),
        data::textColumn("Phone", 13),
        data::textColumn("Department", 25),
        data::textColumn("Alternate", 13),
        data::textColumn("Fax", 13),
        data::column("DOB", FieldType::DateTime),
        data::textColumn("Login_Name", 8),
        data::column("Comments", FieldType::Memo, 1),
        data::textColumn("Destination", 25),
        data::textColumn("Date_Left", 15),
        data::textColumn("Time_Left", 15),
        data::textColumn("Return_Date", 15),
        data::textColumn("Return_Time", 15),
        data::textColumn("Status", 3),
        data::textColumn("Contact_Phone", 13),
    };
    // Empty texts are stored as NULL, and NULLs never clash in a unique index, so several
    // employees may have no password or e-mail address.
    t.indexes = {
        {"EmailIndex", {"EMail"}, true},
        {"EmpNumIndex", {"Emp_Num"}, true},
        {"NAMEIndex", {"Name"}, true},
        {"PASSWORDIndex", {"Password"}, true},
        {"Staff#PX", {"Employee_No", "Name", "Emp_Num", "Password", "EMail"}, true},
        {"ZipCode", {"ZipCode"}, false},
    };
    return t;
}

} // namespace records
