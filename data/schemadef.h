#pragma once
// Table definitions as the admin tool creates them.
#include "field.h"
#include <QString>
#include <QStringList>
#include <QVector>

namespace data {

class Database;

struct IndexDef {
    QString name; // e.g. "NAMEIndex"
    QStringList fields;
    bool unique = false;
};

struct TableDef {
    QString name;
    QVector<FieldDef> fields; // in table order; FieldType::AutoInc is the row key
    QVector<IndexDef> indexes;
};

// Column definitions as the table definitions write them.
inline FieldDef column(const QString& name, FieldType type, int size = 0) {
    FieldDef f;
    f.fieldName = name;
    f.type = type;
    f.size = size;
    return f;
}
inline FieldDef textColumn(const QString& name, int size) { return column(name, FieldType::String, size); }

// Creates the tables and indexes that are missing; never drops or alters what exists.
void createTables(Database& db, const QVector<TableDef>& tables);

} // namespace data
