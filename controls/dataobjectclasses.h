#pragma once
// The data-object classes a window's stored data file may name, as the widget registry holds
// the control classes. The data layer's "Table", "Query" and "DataSource" are built in; other
// layers register their own components (the report engine its projects and connections), so
// that a window's data file holds them and the window owns them for its whole life.
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>

namespace data {
class DataSet;
class DataSource;
} // namespace data

namespace controls {

// A data object of a window that is neither a dataset nor a data source.
class Component {
public:
    virtual ~Component() = default;
    virtual QString componentName() const = 0;
};

// A window component holding one object of another layer's class (one with a name()).
template <class T> class ComponentOf : public Component {
public:
    explicit ComponentOf(std::unique_ptr<T> object) : object_(std::move(object)) {}
    QString componentName() const override { return object_->name(); }
    T& object() const { return *object_; }

private:
    std::unique_ptr<T> object_;
};

// One entry of a window's data file while its object is made.
class StoredObject {
public:
    StoredObject(QString layoutName, QJsonObject entry);
    QString className() const { return string("class"); }
    QString name() const { return string("name"); }
    QJsonValue value(const char* key) const { return entry_.value(QLatin1String(key)); }
    QString string(const char* key) const { return value(key).toString(); }
    bool has(const char* key) const { return entry_.contains(QLatin1String(key)); }
    // Raises LayoutError naming a key that is none of "class", "name", "comment" and these.
    void checkKeys(std::initializer_list<const char*> allowed) const;
    [[noreturn]] void fault(const QString& message) const; // LayoutError "<window>: <message>"

private:
    QString layoutName_;
    QJsonObject entry_;
};

// Where a class's creator puts what it made: the window being loaded.
class DataObjectSink {
public:
    virtual ~DataObjectSink() = default;
    // A dataset; the window reads the entry's "database", "fields", "events" and "active".
    virtual data::DataSet& addDataSet(const StoredObject& stored, std::unique_ptr<data::DataSet> dataSet) = 0;
    virtual data::DataSource& addDataSource(std::unique_ptr<data::DataSource> source) = 0;
    virtual void addComponent(std::unique_ptr<Component> component) = 0;
    // Runs link once every object of the file is made, with the dataset named dataSetName
    // (an object may name one that comes after it); raises LayoutError "<referrer> names no
    // dataset '<name>'" when the window has none.
    virtual void linkDataSet(const QString& referrer, const QString& dataSetName,
                             std::function<void(data::DataSet&)> link) = 0;
};

using DataObjectCreator = std::function<void(const StoredObject& stored, DataObjectSink& sink)>;
void registerDataObjectClass(const QString& className, DataObjectCreator creator);
// Makes the stored object through its class; raises LayoutError for a class none registered.
void createDataObject(const StoredObject& stored, DataObjectSink& sink);

} // namespace controls
