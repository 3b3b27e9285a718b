#pragma once
// Data sources connect data-aware controls to a dataset. Controls register a DataLink;
// the dataset calls the links synchronously (plain C++ calls, so the layer's exceptions
// pass through them safely).
#include <QString>
#include <QVector>

namespace data {

class DataSet;
class Field;
class DataSource;

class DataLink {
public:
    virtual ~DataLink();
    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return source_; }
    DataSet* dataSet() const; // nullptr without a source or dataset

    // Notifications, all optional:
    virtual void activeChanged() {}             // opened or closed
    virtual void stateChanged() {}              // browse/edit/insert changed
    virtual void recordChanged(Field* field) {} // values reloaded (field==nullptr: the whole row)
    virtual void dataSetScrolled() {}           // the current row moved
    virtual void dataSetChanged() {}            // rows added/removed/reordered/refetched
    // Write pending typed text into the row now (before a post or a move). May throw
    // (an incomplete mask, a non-number).
    virtual void updateData() {}
    // A value of `field` is refused (a required field left empty): the control showing it
    // takes the focus, so that the user can fill it in.
    virtual void focusControl(Field* field) {}

private:
    friend class DataSource;
    DataSource* source_ = nullptr;
};

class DataSource {
public:
    explicit DataSource(QString name = {});
    ~DataSource();
    const QString& name() const { return name_; }

    DataSet* dataSet() const { return dataSet_; }
    void setDataSet(DataSet* dataSet); // may change at run time; links are told activeChanged()

    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool on) { autoEdit_ = on; }

    const QVector<DataLink*>& links() const { return links_; }

    // Called by the dataset.
    void notifyActiveChanged();
    void notifyStateChanged();
    void notifyRecordChanged(Field* field);
    void notifyScrolled();
    void notifyDataSetChanged();
    void notifyUpdateData();
    void notifyFocusControl(Field* field);

private:
    friend class DataLink;
    QString name_;
    DataSet* dataSet_ = nullptr;
    bool autoEdit_ = true;
    QVector<DataLink*> links_;
};

} // namespace data
