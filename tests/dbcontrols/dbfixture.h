#pragma once
// Shared pieces of the data-aware control tests: a fresh database (the admin tool's
// schema), tables opened on it with the fields a window would declare, the named objects a
// window hands to bindData, and a host window the controls live in.
#include "controls/db/dbcontrols.h"
#include "controls/formobjects.h"
#include "data/datasource.h"
#include "data/table.h"
#include "tests/support/testdb.h"
#include "tests/support/testinput.h"
#include "tests/support/testui.h"
#include <QApplication>
#include <QHash>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace dbtest {

inline data::FieldDef def(const QString& field, data::FieldType type, int size = 0,
                          const QString& mask = {}) {
    data::FieldDef d;
    d.name = field;
    d.fieldName = field;
    d.type = type;
    d.size = size;
    d.editMask = mask;
    return d;
}
inline data::FieldDef text(const QString& field, int size, const QString& mask = {}) {
    return def(field, data::FieldType::String, size, mask);
}

// A table that counts what it hands out for grids and lists.
class CountingTable : public data::Table {
public:
    using data::Table::Table;
    int fetchCalls = 0;
    int rowsFetched = 0;
    QVector<data::Row> FetchRows(const data::RowKey& key, bool forward, int count, bool inclusive) override {
        ++fetchCalls;
        auto rows = data::Table::FetchRows(key, forward, count, inclusive);
        rowsFetched += int(rows.size());
        return rows;
    }
    void resetCounts() { fetchCalls = rowsFetched = 0; }
};

inline std::unique_ptr<CountingTable> openTable(const QString& name, const QString& table,
                                                const QString& order, const QVector<data::FieldDef>& fields) {
    auto t = std::make_unique<CountingTable>(name);
    t->SetDatabaseName("Corvane2003");
    t->SetTableName(table);
    if (!order.isEmpty()) t->SetIndexFieldNames(order);
    for (const auto& f : fields)
        t->addFieldDef(f);
    t->Open();
    return t;
}

// The window's named objects, for bindData.
class Objects : public controls::FormObjects {
public:
    QHash<QString, data::DataSet*> sets;
    QHash<QString, data::DataSource*> sources;
    data::DataSet* findDataSet(const QString& n) const override { return sets.value(n); }
    data::DataSource* findDataSource(const QString& n) const override { return sources.value(n); }
};

// A shown, active window holding the controls under test and a plain box to move to.
class Host : public QWidget {
public:
    Host() {
        layout_ = new QVBoxLayout(this);
        other = new QLineEdit(this);
        other->setObjectName("other");
        layout_->addWidget(other);
        resize(500, 400);
    }
    template <class T> T* add(T* w) {
        layout_->insertWidget(layout_->count() - 1, w);
        return w;
    }
    // Shows the window and makes it the active one, so that focus changes are real.
    bool showActive() {
        show();
        return testsupport::activate(this);
    }
    QLineEdit* other = nullptr;

private:
    QVBoxLayout* layout_ = nullptr;
};

// The departments stored, in name order.
inline QStringList storedDepartments(testsupport::TestDatabase& db) {
    QStringList out;
    for (const auto& r : db.rows("SELECT Department FROM Dept ORDER BY Department"))
        out << r.value("Department").toString();
    return out;
}

// The error box's text for a message of the layer (the box appends the ".").
inline QString boxed(const QString& message) { return message + "."; }

using testsupport::click;
using testsupport::invalidInput;
using testsupport::key;
using testsupport::pickFromList;
using testsupport::press;
using testsupport::type;

} // namespace dbtest
