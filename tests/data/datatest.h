#pragma once
// Small helpers shared by the data-layer tests: tables opened the way the windows open them.
#include "data/database.h"
#include "data/table.h"
#include "locator/locator_schema.h"
#include "records/staff_schema.h"
#include "tests/support/testdb.h"
#include <QStringList>
#include <QTest>
#include <memory>

namespace datatest {

inline constexpr const char* alias = "Corvane2003";

// A table on the alias with the field objects of its admin definition (component names
// table component plus field, as the layouts name them).
inline std::unique_ptr<data::Table> table(const QString& component, const data::TableDef& def,
                                          const QString& indexFieldNames = {},
                                          const QStringList& onlyFields = {}) {
    auto t = std::make_unique<data::Table>(component);
    t->SetDatabaseName(alias);
    t->SetTableName(def.name);
    for (data::FieldDef f : def.fields) {
        if (!onlyFields.isEmpty() && !onlyFields.contains(f.fieldName)) continue;
        f.name = component + QString(f.fieldName).remove(' ');
        t->addFieldDef(f);
    }
    if (!indexFieldNames.isEmpty()) t->SetIndexFieldNames(indexFieldNames);
    return t;
}

inline std::unique_ptr<data::Table> staff(const QString& indexFieldNames = "Name",
                                          const QStringList& onlyFields = {}) {
    return table("StaffTable", records::staffTable(), indexFieldNames, onlyFields);
}

inline std::unique_ptr<data::Table> staffLog(const QString& indexFieldNames = "Name") {
    return table("Table1", locator::staffLogTable(), indexFieldNames);
}

inline QString name(const data::DataSet& t) { return t.FieldByName("Name")->AsString(); }

// Every row's value of one field from the first row on (moves the cursor).
inline QStringList column(data::DataSet& t, const QString& field = "Name") {
    QStringList out;
    t.First();
    while (!t.Eof()) {
        out << t.FieldByName(field)->AsString();
        t.Next();
    }
    return out;
}

// The message of the exception that f throws (fails the test when it throws none).
template <class E = data::Exception, class F> QString errorOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.message();
    }
    return "<no error>";
}

// The kind of the error that f throws; ErrorKind(-1) when it throws none.
template <class F> data::ErrorKind kindOf(F&& f) {
    try {
        f();
    } catch (const data::DatabaseError& e) {
        return e.kind();
    }
    return data::ErrorKind(-1);
}

} // namespace datatest
