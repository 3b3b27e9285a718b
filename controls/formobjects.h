#pragma once
// The named data objects of one window (tables, queries, data sources), loaded from the
// window's stored data file. Data-aware controls find their data source here by name.
#include <QString>

namespace data {
class DataSet;
class DataSource;
class Table;
class Query;
class Field;
} // namespace data

namespace controls {

class FormObjects {
public:
    virtual ~FormObjects() = default;
    virtual data::DataSet* findDataSet(const QString& name) const = 0;
    virtual data::DataSource* findDataSource(const QString& name) const = 0;
};

// Implemented by data-aware widgets: called once after the window's layout and data
// objects are loaded, with the widget's stored properties already set.
class DataAware {
public:
    virtual ~DataAware() = default;
    virtual void bindData(const FormObjects& objects) = 0;
};

} // namespace controls
