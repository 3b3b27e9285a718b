#include "locator/locator_schema.h"

namespace locator {

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

data::TableDef staffLogTable()
{
    data::TableDef t;
    t.name = "Staff_Log";
    t.fields = {
        field("Transaction_Id", data::FieldType::AutoInc),
        text("Login_Name", 8),
        text("Transaction_Date", 20),
        text("Transaction_Time", 20),
        text("Name", 25),
        text("Department", 25),
        text("Destination", 25),
        text("Date Left", 15),
        text("Time_Left", 15),
        text("Return_Date", 15),
        text("Return_Time", 15),
        text("Status", 3),
        text("Contact_Phone", 13),
    };
    // The history report orders by Name, date and time text: the first index gives that
    // order without sorting. The windows' cursor reads the log in Name order, then by row
    // key: the second lets it seek among an employee's many rows without sorting them.
    t.indexes = {
        {"Staff_LogName", {"Name", "Transaction_Date", "Transaction_Time"}, false},
        {"Staff_LogNameId", {"Name", "Transaction_Id"}, false},
    };
    return t;
}

data::TableDef destinationTable()
{
    data::TableDef t;
    t.name = "Destination";
    t.fields = {
        field("Destination_Id", data::FieldType::AutoInc),
        text("Destination", 25),
        text("Company", 35),
        text("Address", 45),
        text("City", 35),
        text("State", 2),
        text("ZipCode", 12),
        field("Longitude", data::FieldType::Float),
        field("Latitude", data::FieldType::Float),
    };
    t.indexes = {{"DestinationName", {"Destination"}, false}};
    return t;
}

data::TableDef deptTable()
{
    data::TableDef t;
    t.name = "Dept";
    t.fields = {
        field("Dept_Id", data::FieldType::AutoInc),
        text("Department", 30),
    };
    t.indexes = {{"DeptName", {"Department"}, false}};
    return t;
}

} // namespace locator
