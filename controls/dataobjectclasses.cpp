#include "controls/dataobjectclasses.h"
#include "controls/form.h"
#include "data/datasource.h"
#include "data/query.h"
#include "data/table.h"
#include <QHash>
#include <QJsonArray>
#include <QStringList>

namespace controls {

namespace {

void createTable(const StoredObject& o, DataObjectSink& sink) {
    o.checkKeys({"database", "table", "indexName", "indexFieldNames", "filter", "filtered", "autoRefresh",
                 "active", "events", "fields"});
    auto t = std::make_unique<data::Table>(o.name());
    t->SetTableName(o.string("table"));
    if (o.has("indexName")) t->SetIndexName(o.string("indexName"));
    if (o.has("indexFieldNames")) t->SetIndexFieldNames(o.string("indexFieldNames"));
    t->SetFilter(o.string("filter"));
    t->SetFiltered(o.value("filtered").toBool());
    t->SetAutoRefresh(o.value("autoRefresh").toBool());
    sink.addDataSet(o, std::move(t));
}

void createQuery(const StoredObject& o, DataObjectSink& sink) {
    o.checkKeys({"database", "sql", "active", "events", "fields"});
    auto q = std::make_unique<data::Query>(o.name());
    const QJsonValue sql = o.value("sql");
    QStringList lines;
    if (sql.isArray())
        for (const auto& line : sql.toArray())
            lines << line.toString();
    else
        lines = sql.toString().split(u'\n');
    q->SetSQL(lines);
    sink.addDataSet(o, std::move(q));
}

void createDataSource(const StoredObject& o, DataObjectSink& sink) {
    o.checkKeys({"dataSet", "autoEdit"});
    data::DataSource& src = sink.addDataSource(std::make_unique<data::DataSource>(o.name()));
    src.SetAutoEdit(o.value("autoEdit").toBool(true));
    const QString dataSet = o.string("dataSet");
    if (!dataSet.isEmpty())
        sink.linkDataSet(QStringLiteral("data source ") + o.name(), dataSet,
                         [&src](data::DataSet& ds) { src.setDataSet(&ds); });
}

QHash<QString, DataObjectCreator>& registry() {
    static QHash<QString, DataObjectCreator> r = {
        {QStringLiteral("Table"), createTable},
        {QStringLiteral("Query"), createQuery},
        {QStringLiteral("DataSource"), createDataSource},
    };
    return r;
}

} // namespace

StoredObject::StoredObject(QString layoutName, QJsonObject entry)
    : layoutName_(std::move(layoutName)), entry_(std::move(entry)) {}

void StoredObject::checkKeys(std::initializer_list<const char*> allowed) const {
    for (auto it = entry_.begin(); it != entry_.end(); ++it) {
        bool ok = it.key() == QLatin1String("comment") || it.key() == QLatin1String("class") ||
                  it.key() == QLatin1String("name");
        for (const char* a : allowed)
            ok = ok || it.key() == QLatin1String(a);
        if (!ok) fault(QStringLiteral("unknown key '%1' in %2").arg(it.key(), name()));
    }
}

void StoredObject::fault(const QString& message) const {
    throw LayoutError(layoutName_ + QStringLiteral(": ") + message);
}

void registerDataObjectClass(const QString& className, DataObjectCreator creator) {
    registry().insert(className, std::move(creator));
}

void createDataObject(const StoredObject& stored, DataObjectSink& sink) {
    auto it = registry().constFind(stored.className());
    if (it == registry().constEnd() || !*it)
        stored.fault(
            QStringLiteral("unknown data object class '%1' of %2").arg(stored.className(), stored.name()));
    (*it)(stored, sink);
}

} // namespace controls
