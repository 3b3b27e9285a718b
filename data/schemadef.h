#pragma once
// Table definitions as the admin tool creates them.
#include "field.h"
#include <QString>
#include <QStringList>
#include <QVector>

namespace data {

class Database;

struct IndexDef {
    QString name;          // e.g. "NAMEIndex"
    QStringList fields;
    bool unique = false;
};

struct TableDef {
    QString name;
    QVector<FieldDef> fields;   // in table order; FieldType::AutoInc is the row key
    QVector<IndexDef> indexes;
};

// Creates the tables and indexes that are missing; never drops or alters what exists.
void createTables(Database& db, const QVector<TableDef>& tables);

} // namespace data
