#include "reports/connection.h"
#include "data/query.h"

namespace reports {

static QList<DataConnection*>& registry() {
    static QList<DataConnection*> list;
    return list;
}

DataConnection::DataConnection(QString name, data::DataSet* dataSet)
    : name_(std::move(name)), dataSet_(dataSet) {
    registry().append(this);
}

DataConnection::~DataConnection() {
    if (open_) close();
    registry().removeOne(this);
}

const QList<DataConnection*>& DataConnection::all() { return registry(); }

QList<DataConnection*> DataConnection::named(const QString& name) {
    QList<DataConnection*> out;
    for (DataConnection* c : registry())
        if (c->name().compare(name, Qt::CaseInsensitive) == 0) out << c;
    return out;
}

void DataConnection::open() {
    data::DataSet& ds = *dataSet_;
    // A changed pending row is stored first, so the report shows it.
    ds.CheckBrowseMode();
    wasActive_ = ds.Active();
    hadRow_ = wasActive_ && !ds.IsEmpty();
    key_ = hadRow_ ? ds.CurrentKey() : data::RowKey{};
    ds.DisableControls();
    controlsDisabled_ = true;
    open_ = true;
    const bool isQuery = dynamic_cast<data::Query*>(dataSet_) != nullptr;
    if (isQuery && wasActive_) {
        // A query shows the rows of the moment it ran: run it again so the report lists
        // the rows as they stand now, not as they stood at start-up.
        ds.Close();
        ds.Open();
    } else if (!wasActive_) {
        ds.Open();
    }
}

const QVector<data::Field*>& DataConnection::fields() const { return dataSet_->fields(); }

QVector<data::Row> DataConnection::fetch(const data::RowKey& after, int count) {
    return dataSet_->FetchRows(after, true, count, false);
}

void DataConnection::close() {
    if (!open_) return;
    open_ = false;
    data::DataSet& ds = *dataSet_;
    struct Enable {
        DataConnection* c;
        ~Enable() {
            if (c->controlsDisabled_) {
                c->controlsDisabled_ = false;
                c->dataSet_->EnableControls();
            }
        }
    } enable{this};
    if (!wasActive_) {
        if (ds.Active()) ds.Close();
        return;
    }
    if (!ds.Active()) ds.Open();
    // The cursor of a table never moved; a query that ran again goes back to its row.
    if (hadRow_ && ds.CurrentKey() != key_ && !ds.GotoKey(key_)) ds.First();
}

} // namespace reports
