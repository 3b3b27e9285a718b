#include "records/staff_schema.h"

namespace records {

namespace {
data::FieldDef field(const QString& name, data::FieldType type, int size = 0)
{
    data::FieldDef f;
    f.fieldName = name;
    f.type = type;
    f.size = size;
    return f;
}
data::FieldDef text(const QString& name, int size) { return field(name, data::FieldType::String, size); }
} // namespace

data::TableDef staffTable()
{
    using data::FieldType;
    data::TableDef t;
    t.name = "Staff";
    t.fields = {
        field("Employee_No", FieldType::AutoInc),
        text("Name", 25),
        field("Emp_Num", FieldType::Float),
        text("Password", 8),
        text("EMail", 35),
        text("Social_Security", 12),
        text("Address1", 25),
        text("Address2", 25),
        text("City", 25),
        text("State", 2),
        text("ZipCode", 12),
        text("Phone", 13),
        text("Department", 25),
        text("Alternate", 13),
        text("Fax", 13),
        field("DOB", FieldType::DateTime),
        text("Login_Name", 8),
        field("Comments", FieldType::Memo, 1),
        text("Destination", 25),
        text("Date_Left", 15),
        text("Time_Left", 15),
        text("Return_Date", 15),
        text("Return_Time", 15),
        text("Status", 3),
        text("Contact_Phone", 13),
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
