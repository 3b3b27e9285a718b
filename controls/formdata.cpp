// The data file of a window: its data objects, grid columns, menu and printer set-up dialogs.
#include "controls/form.h"
#include "controls/dataobjectclasses.h"
#include "controls/menu.h"
#include "controls/printersetup.h"
#include "data/dataset.h"
#include "data/datasource.h"
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLayout>
#include <QMenuBar>
#include <QSet>
#include <QStringList>

namespace controls {

namespace {

const QHash<QString, data::DataSetEvent>& eventNames() {
    using E = data::DataSetEvent;
    static const QHash<QString, E> names = {
        {"BeforeOpen", E::BeforeOpen},     {"AfterOpen", E::AfterOpen},       {"BeforeClose", E::BeforeClose},
        {"AfterClose", E::AfterClose},     {"BeforeInsert", E::BeforeInsert}, {"AfterInsert", E::AfterInsert},
        {"BeforeEdit", E::BeforeEdit},     {"AfterEdit", E::AfterEdit},       {"BeforePost", E::BeforePost},
        {"AfterPost", E::AfterPost},       {"BeforeCancel", E::BeforeCancel}, {"AfterCancel", E::AfterCancel},
        {"BeforeDelete", E::BeforeDelete}, {"AfterDelete", E::AfterDelete},   {"AfterScroll", E::AfterScroll},
        {"AfterRefresh", E::AfterRefresh}};
    return names;
}

const QHash<QString, data::FieldType>& fieldTypes() {
    using T = data::FieldType;
    static const QHash<QString, T> types = {{"String", T::String},     {"Integer", T::Integer},
                                            {"AutoInc", T::AutoInc},   {"Float", T::Float},
                                            {"DateTime", T::DateTime}, {"Memo", T::Memo}};
    return types;
}

} // namespace

// The window's side of the data-object classes: what their creators make goes into the
// window's own lists, and references between objects are resolved once all exist.
class DataFileLoader : public DataObjectSink {
public:
    explicit DataFileLoader(Form& form) : form_(form) {}

    data::DataSet& addDataSet(const StoredObject& o, std::unique_ptr<data::DataSet> ds) override {
        const QString name = o.name();
        ds->SetDatabaseName(o.string("database"));
        for (const auto& fv : o.value("fields").toArray()) {
            const QJsonObject f = fv.toObject();
            for (auto it = f.begin(); it != f.end(); ++it)
                if (!QStringList{"comment", "name", "field", "type", "size", "mask", "required",
                                 "displayWidth", "readOnly"}
                         .contains(it.key()))
                    form_.fault(QStringLiteral("unknown key '%1' in %2 fields").arg(it.key(), name));
            data::FieldDef def;
            def.name = f.value(QLatin1String("name")).toString();
            def.fieldName = f.value(QLatin1String("field")).toString();
            const QString type = f.value(QLatin1String("type")).toString(QStringLiteral("String"));
            if (!fieldTypes().contains(type))
                form_.fault(QStringLiteral("unknown field type '%1' of %2").arg(type, def.name));
            def.type = fieldTypes().value(type);
            if (f.contains(QLatin1String("size"))) def.size = f.value(QLatin1String("size")).toInt();
            def.editMask = f.value(QLatin1String("mask")).toString();
            def.required = f.value(QLatin1String("required")).toBool();
            def.displayWidth = f.value(QLatin1String("displayWidth")).toInt();
            def.readOnly = f.value(QLatin1String("readOnly")).toBool();
            ds->addFieldDef(def);
        }

        const QJsonObject events = o.value("events").toObject();
        for (auto it = events.begin(); it != events.end(); ++it) {
            if (!eventNames().contains(it.key()))
                form_.fault(QStringLiteral("unknown event '%1' of %2").arg(it.key(), name));
            // Called directly: an exception goes to the operation that raised the event.
            Form::Handler h = form_.resolve(it.value().toString(), name + u'.' + it.key());
            Form* form = &form_;
            ds->setEvent(eventNames().value(it.key()), [form, h](data::DataSet&) {
                if (!form->destroying_) h();
            });
        }
        if (o.value("active").toBool()) form_.activeOrder_.push_back(ds.get());
        form_.dataSets_.push_back(std::move(ds));
        return *form_.dataSets_.back();
    }

    data::DataSource& addDataSource(std::unique_ptr<data::DataSource> source) override {
        form_.dataSources_.push_back(std::move(source));
        return *form_.dataSources_.back();
    }

    void addComponent(std::unique_ptr<Component> component) override {
        form_.components_.push_back(std::move(component));
    }

    void linkDataSet(const QString& referrer, const QString& dataSetName,
                     std::function<void(data::DataSet&)> link) override {
        links_.push_back({referrer, dataSetName, std::move(link)});
    }

    void load(const QJsonArray& objects) {
        QSet<QString> names;
        for (const auto& v : objects) {
            const StoredObject o(form_.layoutName_, v.toObject());
            const QString name = o.name();
            if (name.isEmpty())
                form_.fault(QStringLiteral("a data object of class '%1' has no name").arg(o.className()));
            if (names.contains(name)) form_.fault(QStringLiteral("two data objects named '%1'").arg(name));
            names.insert(name);
            createDataObject(o, *this);
        }
        for (const Link& l : links_) {
            data::DataSet* ds = form_.findDataSet(l.dataSet);
            if (!ds) form_.fault(QStringLiteral("%1 names no dataset '%2'").arg(l.referrer, l.dataSet));
            l.link(*ds);
        }
    }

private:
    struct Link {
        QString referrer;
        QString dataSet;
        std::function<void(data::DataSet&)> link;
    };
    Form& form_;
    std::vector<Link> links_;
};

void Form::loadDataObjects() {
    const QString path = QStringLiteral(":/layouts/%1.json").arg(layoutName_);
    QFile file(path);
    if (!file.exists()) return; // a window without data objects
    if (!file.open(QIODevice::ReadOnly)) fault(QStringLiteral("data file '%1' cannot be read").arg(path));
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        fault(QStringLiteral("data file '%1' is not valid JSON: %2 at offset %3")
                  .arg(path, err.errorString())
                  .arg(err.offset));
    const QJsonObject root = doc.object();
    for (auto it = root.begin(); it != root.end(); ++it)
        if (!QStringList{"comment", "objects", "grids", "menu", "printerSetupDialogs"}.contains(it.key()))
            fault(QStringLiteral("unknown key '%1' in the data file").arg(it.key()));

    DataFileLoader(*this).load(root.value(QLatin1String("objects")).toArray());

    const QJsonObject grids = root.value(QLatin1String("grids")).toObject();
    for (auto it = grids.begin(); it != grids.end(); ++it) {
        QWidget* grid = findChild<QWidget*>(it.key());
        if (!grid) missing("grid", it.key());
        grid->setProperty("columns", it.value().toArray());
    }

    if (root.contains(QLatin1String("menu"))) {
        menuBar_ = buildMenuBar(root.value(QLatin1String("menu")).toObject(), this,
                                [this](const QString& h, const QString& where) { return resolve(h, where); });
        layout()->setMenuBar(menuBar_);
    }

    for (const auto& v : root.value(QLatin1String("printerSetupDialogs")).toArray())
        printerDialogs_.push_back(std::make_unique<PrinterSetupDialog>(v.toString()));
}

} // namespace controls
