#include "locator/locator_schema.h"

namespace locator {

data::TableDef staffLogTable() {
    data::TableDef t;
    t.name = "Staff_Log";
    t.fields = {
        data::column("Transaction_Id", data::FieldType::AutoInc),
        data::textColumn("Login_Name", 8),
        data::textColumn("Transaction_Date", 20),
        data::textColumn("Transaction_Time", 20),
        data::textColumn("Name", 25),
        data::textColumn("Department", 25),
        data::textColumn("Destination", 25),
        data::textColumn("Date Left", 15),
        data::textColumn("Time_Left", 15),
        data::textColumn("Return_Date", 15),
        data::textColumn("Return_Time", 15),
        data::textColumn("Status", 3),
        data::textColumn("Contact_Phone", 13),
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

data::TableDef destinationTable() {
    data::TableDef t;
    t.name = "Destination";
    t.fields = {
        data::column("Destination_Id", data::FieldType::AutoInc),
        data::textColumn("Destination", 25),
        data::textColumn("Company", 35),
        data::textColumn("Address", 45),
        data::textColumn("City", 35),
        data::textColumn("State", 2),
        data::textColumn("ZipCode", 12),
        data::column("Longitude", data::FieldType::Float),
        data::column("Latitude", data::FieldType::Float),
    };
    t.indexes = {{"DestinationName", {"Destination"}, false}};
    return t;
}

data::TableDef deptTable() {
    data::TableDef t;
    t.name = "Dept";
    t.fields = {
        data::column("Dept_Id", data::FieldType::AutoInc),
        data::textColumn("Department", 30),
    };
    t.indexes = {{"DeptName", {"Department"}, false}};
    return t;
}

} // namespace locator
