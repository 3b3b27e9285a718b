#pragma once
// Datasets: the cursor objects of the layer (tables and queries). The state machine and
// the browse check live here; Table and Query supply the cursor.
#include "errors.h"
#include "field.h"
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>
#include <array>
#include <functional>
#include <memory>

namespace data {

class DataSource;
class Database;

enum class DataSetState { Inactive, Browse, Edit, Insert };

enum class DataSetEvent {
    BeforeOpen,
    AfterOpen,
    BeforeClose,
    AfterClose,
    BeforeInsert,
    AfterInsert,
    BeforeEdit,
    AfterEdit,
    BeforePost,
    AfterPost,
    BeforeCancel,
    AfterCancel,
    BeforeDelete,
    AfterDelete,
    AfterScroll,
    AfterRefresh
};

// Identifies a row within its dataset's order (order values, then the row's key); opaque
// to callers, usable with FetchRows and GotoKey.
using RowKey = QVariantList;

struct Row {
    RowKey key;
    QVector<QVariant> values; // parallel to DataSet::fields()
};

class DataSet {
public:
    explicit DataSet(QString name);
    virtual ~DataSet(); // closes without events and without posting (program end)

    const QString& name() const { return name_; }
    void setName(const QString& n) { name_ = n; }

    // --- database ---
    const QString& DatabaseName() const { return databaseName_; } // an alias, e.g. "Corvane2003"
    void SetDatabaseName(const QString& alias);

    // --- fields (declared by the layout; without declared fields, all columns of the
    // table or query, in their order, are used) ---
    void addFieldDef(const FieldDef& def); // only while closed
    const QVector<FieldDef>& fieldDefs() const { return fieldDefs_; }
    const QVector<Field*>& fields() const { return fieldPtrs_; }
    Field* FindField(const QString& fieldName) const;   // by column name, nullptr if none
    Field* FieldByName(const QString& fieldName) const; // raises "Field '%s' not found" (dataset-named)
    Field* fieldByComponentName(const QString& componentName) const;

    // --- state ---
    DataSetState State() const { return state_; }
    bool Active() const { return state_ != DataSetState::Inactive; }
    void SetActive(bool on);
    void Open();
    void Close(); // before/after close events run; a pending edit is lost
    bool Modified() const { return modified_; }
    bool IsEmpty() const; // open with no current row
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    virtual int RecordCount(); // rows passing the filter (a count query for tables)
    virtual bool CanModify() const { return true; }

    // --- navigation: each runs CheckBrowseMode first ---
    void First();
    void Prior();
    void Next();
    void Last();
    void MoveBy(int distance);
    void Refresh(); // re-reads, staying on the row (or the nearest one when it was deleted)

    // --- editing ---
    void Edit(); // browse -> edit (re-reads the row first); empty -> Insert; edit/insert: nothing
    void Insert();
    void Append() { Insert(); }
    void Post();
    void Cancel();
    void Delete();
    // The browse check: lets the data-aware controls write their pending text, then posts a
    // modified row or cancels an unmodified one. Nothing in browse or inactive state.
    void CheckBrowseMode();
    void UpdateRecord();             // data sources' controls write their pending text (may throw)
    void focusControl(Field* field); // the control showing the field takes the focus

    // --- searching ---
    // Moves to the first row (in the current order, passing the filter) whose fieldName
    // equals value exactly; false (and no move) when there is none.
    virtual bool Locate(const QString& fieldName, const QVariant& value);

    // --- rows for grids and lists, without moving the cursor ---
    // Up to count rows after (forward=true) or before (forward=false) key, in order;
    // backward pages come nearest-first. An empty key: from the start / from the end.
    // inclusive: the row with that key itself is included.
    virtual QVector<Row> FetchRows(const RowKey& key, bool forward, int count, bool inclusive) = 0;
    // Up to count rows in order from the first row whose fieldName is >= value, when the
    // dataset's order begins with that field (a seek); false, with nothing read, otherwise.
    virtual bool SeekRows(const QString& fieldName, const QVariant& value, int count, QVector<Row>& out) {
        return false;
    }
    RowKey CurrentKey() const { return currentKey_; }
    // Moves to the row with this key (browse check first); false when it is gone.
    virtual bool GotoKey(const RowKey& key);

    // --- events ---
    using Handler = std::function<void(DataSet&)>;
    void setEvent(DataSetEvent event, Handler handler);

    // --- data sources (managed by DataSource::setDataSet) ---
    void attach(DataSource* source);
    void detach(DataSource* source);
    const QVector<DataSource*>& dataSources() const { return sources_; }
    // Turns off the controls' following while a report reads (DisableControls/EnableControls).
    void DisableControls() { ++controlsDisabled_; }
    void EnableControls();
    bool ControlsDisabled() const { return controlsDisabled_ > 0; }

    // --- used by Field ---
    QVariant fieldValue(int index) const;
    void setFieldValue(int index, const QVariant& value); // checks the state; marks modified
    [[noreturn]] void
    raise(const QString& message,
          ErrorKind kind = ErrorKind::InvalidState) const; // DatabaseError "<name>: <message>"

    // Snapshot of the editing state, used to undo posts of a rolled-back transaction.
    struct Snapshot {
        DataSetState state;
        bool modified, bof, eof;
        RowKey key;
        QVector<QVariant> buffer, original;
        bool hasRow = false;
        Row rowBeforeInsert; // where Cancel of an insert goes back to
        bool hadRowBeforeInsert = false;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);

protected:
    // --- cursor, implemented by Table and Query ---
    virtual void openCursor() = 0; // may throw EngineError; fills fields if none declared
    virtual void closeCursor() = 0;
    virtual bool readFirst(Row& row) = 0; // false: empty
    virtual bool readLast(Row& row) = 0;
    virtual bool readNext(const RowKey& from, Row& row) = 0;
    virtual bool readPrior(const RowKey& from, Row& row) = 0;
    virtual bool readRow(const RowKey& key, Row& row) = 0;         // the same row re-read
    virtual bool readNearest(const RowKey& key, Row& row);         // same, else next, else prior
    virtual RowKey insertRow(const QVector<QVariant>& values) = 0; // returns the new row's key
    virtual void updateRow(const RowKey& key, const QVector<QVariant>& original,
                           const QVector<QVariant>& values) = 0; // raises on a conflict
    virtual void deleteRow(const RowKey& key, const QVector<QVariant>& original) = 0;
    // The key of the current row once values are stored (the order fields may have changed).
    virtual RowKey rowKeyOf(const RowKey& old, const QVector<QVariant>& values) const { return old; }

    // For subclasses: move to a row read by the cursor (or to no row), notifying the links.
    void setCurrent(const Row* row, bool scrolled = true);
    void fire(DataSetEvent event);
    void notifyDataSetChanged();
    void defineFields(const QVector<FieldDef>& defs); // while opening, when none declared
    Database* database() const;                       // resolves the alias (throws EngineError)
    // The value a field stores for a variant (empty text -> NULL, text cut to size).
    QVariant normalized(int index, const QVariant& value) const;
    void setState(DataSetState s);
    void requireActive() const; // "Cannot perform this operation on a closed dataset"
    // Moves to a row (or to none) with the given BOF/EOF, telling the links.
    void moveTo(const Row* row, bool bof, bool eof, bool scrolled = true);
    // The cursor's cached rows may be stale (a transaction was rolled back).
    virtual void rowsChanged() {}

private:
    QString name_;
    QString databaseName_;
    QVector<FieldDef> fieldDefs_;
    std::vector<std::unique_ptr<Field>> fieldObjs_;
    QVector<Field*> fieldPtrs_;
    bool declaredFields_ = false;
    DataSetState state_ = DataSetState::Inactive;
    bool modified_ = false;
    bool bof_ = true, eof_ = true;
    bool hasRow_ = false;
    RowKey currentKey_;
    Row rowBeforeInsert_;
    bool hadRowBeforeInsert_ = false;
    bool activeAtDisable_ = false;
    QVector<QVariant> buffer_;   // current row values (being edited)
    QVector<QVariant> original_; // as read
    QVector<DataSource*> sources_;
    int controlsDisabled_ = 0;
    std::array<Handler, 16> handlers_;
    void buildFieldObjects();
    void requireClosed() const;
    void checkRequired();
    void clearRow();
    template <class F> void notify(F f);
};

} // namespace data
