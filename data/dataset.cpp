// The dataset state machine: open/close, browse/edit/insert, the browse check, posting,
// and telling the data sources. The cursor itself is Table's or Query's.
#include "dataset.h"
#include "database.h"
#include "datasource.h"
#include "errors.h"

namespace data {

DataSet::DataSet(QString name) : name_(std::move(name)) {}

DataSet::~DataSet() {
    // Program end or a window going away: no events, nothing posted. The cursor has been
    // closed by the subclass's destructor.
    if (Database* db = Database::existing(databaseName_)) db->forgetDataSet(this);
    const auto sources = sources_;
    for (DataSource* s : sources)
        s->setDataSet(nullptr);
}

void DataSet::raise(const QString& message, ErrorKind kind) const {
    throw DatabaseError(name_.isEmpty() ? message : name_ + ": " + message, kind).markFromDataSet();
}

void DataSet::requireActive() const {
    if (!Active()) raise("Cannot perform this operation on a closed dataset");
}

void DataSet::requireClosed() const {
    if (Active()) raise("Cannot perform this operation on an open dataset");
}

template <class F> void DataSet::notify(F f) {
    if (controlsDisabled_ > 0) return;
    const auto sources = sources_;
    for (DataSource* s : sources)
        if (sources_.contains(s)) f(s);
}

void DataSet::SetDatabaseName(const QString& alias) {
    if (alias == databaseName_) return;
    requireClosed();
    databaseName_ = alias;
}

Database* DataSet::database() const {
    if (databaseName_.isEmpty()) raise("No database alias is set");
    return &Database::forAlias(databaseName_);
}

// --- fields -----------------------------------------------------------------------------

void DataSet::addFieldDef(const FieldDef& def) {
    requireClosed();
    if (!declaredFields_) {
        fieldDefs_.clear();
        declaredFields_ = true;
    }
    fieldDefs_ << def;
    buildFieldObjects();
}

void DataSet::defineFields(const QVector<FieldDef>& defs) {
    if (declaredFields_) return;
    bool same = defs.size() == fieldDefs_.size();
    for (int i = 0; same && i < defs.size(); ++i)
        same = defs[i].fieldName == fieldDefs_[i].fieldName && defs[i].type == fieldDefs_[i].type &&
               defs[i].size == fieldDefs_[i].size;
    if (same && int(fieldObjs_.size()) == defs.size())
        return; // the controls keep the field objects they hold
    fieldDefs_ = defs;
    buildFieldObjects();
}

void DataSet::buildFieldObjects() {
    fieldObjs_.clear();
    fieldPtrs_.clear();
    for (int i = 0; i < fieldDefs_.size(); ++i) {
        fieldObjs_.push_back(std::make_unique<Field>(this, fieldDefs_[i], i));
        fieldPtrs_ << fieldObjs_.back().get();
    }
    buffer_ = QVector<QVariant>(fieldDefs_.size());
    original_ = buffer_;
}

Field* DataSet::FindField(const QString& fieldName) const {
    for (Field* f : fieldPtrs_)
        if (f->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

Field* DataSet::FieldByName(const QString& fieldName) const {
    Field* f = FindField(fieldName);
    if (!f) raise(QString("Field '%1' not found").arg(fieldName), ErrorKind::NoSuchField);
    return f;
}

Field* DataSet::fieldByComponentName(const QString& componentName) const {
    for (Field* f : fieldPtrs_)
        if (!f->name().isEmpty() && f->name().compare(componentName, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

QVariant DataSet::fieldValue(int index) const {
    if (index < 0 || index >= buffer_.size()) return {};
    return buffer_[index];
}

QVariant DataSet::normalized(int index, const QVariant& value) const {
    if (value.isNull() || !value.isValid()) return {};
    const FieldDef& def = fieldDefs_[index];
    switch (def.type) {
    case FieldType::String: {
        const QString s = def.size > 0 ? value.toString().left(def.size) : value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Memo: {
        const QString s = value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    default:
        return value;
    }
}

void DataSet::setFieldValue(int index, const QVariant& value) {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        raise("Dataset not in edit or insert mode");
    if (index < 0 || index >= buffer_.size()) return;
    buffer_[index] = normalized(index, value);
    modified_ = true;
    Field* f = fieldPtrs_[index];
    notify([f](DataSource* s) { s->notifyRecordChanged(f); });
}

// --- state ------------------------------------------------------------------------------

void DataSet::setState(DataSetState s) {
    if (s == state_) return;
    state_ = s;
    notify([](DataSource* src) { src->notifyStateChanged(); });
}

void DataSet::fire(DataSetEvent event) {
    const Handler& h = handlers_[size_t(event)];
    if (h) h(*this);
}

void DataSet::setEvent(DataSetEvent event, Handler handler) { handlers_[size_t(event)] = std::move(handler); }

void DataSet::notifyDataSetChanged() {
    notify([](DataSource* s) { s->notifyDataSetChanged(); });
}

void DataSet::clearRow() {
    hasRow_ = false;
    currentKey_.clear();
    buffer_ = QVector<QVariant>(fieldPtrs_.size());
    original_ = buffer_;
}

void DataSet::setCurrent(const Row* row, bool scrolled) {
    if (row) {
        hasRow_ = true;
        currentKey_ = row->key;
        buffer_ = row->values;
        if (buffer_.size() != fieldPtrs_.size()) // (resizing a shared copy would copy it)
            buffer_.resize(fieldPtrs_.size());
        original_ = buffer_;
    } else {
        clearRow();
    }
    if (scrolled) {
        notify([](DataSource* s) { s->notifyScrolled(); });
        fire(DataSetEvent::AfterScroll);
    } else {
        notify([](DataSource* s) { s->notifyRecordChanged(nullptr); });
    }
}

void DataSet::moveTo(const Row* row, bool bof, bool eof, bool scrolled) {
    bof_ = bof;
    eof_ = eof;
    setCurrent(row, scrolled);
}

void DataSet::SetActive(bool on) {
    if (on)
        Open();
    else
        Close();
}

void DataSet::Open() {
    if (Active()) return;
    fire(DataSetEvent::BeforeOpen);
    if (Active()) return;
    openCursor();
    if (fieldObjs_.size() != size_t(fieldDefs_.size())) buildFieldObjects();
    Row r;
    bool ok = false;
    try {
        ok = readFirst(r);
    } catch (...) {
        closeCursor();
        throw;
    }
    state_ = DataSetState::Browse;
    modified_ = false;
    bof_ = true;
    eof_ = !ok;
    if (ok) {
        hasRow_ = true;
        currentKey_ = r.key;
        buffer_ = r.values;
        if (buffer_.size() != fieldPtrs_.size()) // (resizing a shared copy would copy it)
            buffer_.resize(fieldPtrs_.size());
        original_ = buffer_;
    } else {
        clearRow();
    }
    notify([](DataSource* s) { s->notifyActiveChanged(); });
    fire(DataSetEvent::AfterOpen);
    fire(DataSetEvent::AfterScroll);
}

void DataSet::Close() {
    if (!Active()) return;
    fire(DataSetEvent::BeforeClose);
    if (!Active()) return;
    // a pending edit or insert is lost
    state_ = DataSetState::Inactive;
    modified_ = false;
    bof_ = eof_ = true;
    clearRow();
    closeCursor();
    notify([](DataSource* s) { s->notifyActiveChanged(); });
    fire(DataSetEvent::AfterClose);
}

bool DataSet::IsEmpty() const { return Active() && !hasRow_ && state_ != DataSetState::Insert; }

int DataSet::RecordCount() {
    requireActive();
    int n = 0;
    Row r;
    if (!readFirst(r)) return 0;
    do
        ++n;
    while (readNext(r.key, r));
    return n;
}

void DataSet::EnableControls() {
    if (controlsDisabled_ == 0 || --controlsDisabled_ > 0) return;
    const auto sources = sources_;
    for (DataSource* s : sources) {
        s->notifyActiveChanged();
        s->notifyStateChanged();
        s->notifyDataSetChanged();
    }
}

void DataSet::attach(DataSource* source) {
    if (!sources_.contains(source)) sources_ << source;
}

void DataSet::detach(DataSource* source) { sources_.removeAll(source); }

// --- navigation ---------------------------------------------------------------------------

void DataSet::First() {
    requireActive();
    CheckBrowseMode();
    Row r;
    const bool ok = readFirst(r);
    bof_ = true;
    eof_ = !ok;
    setCurrent(ok ? &r : nullptr);
}

void DataSet::Last() {
    requireActive();
    CheckBrowseMode();
    Row r;
    const bool ok = readLast(r);
    bof_ = !ok;
    eof_ = true;
    setCurrent(ok ? &r : nullptr);
}

void DataSet::Next() {
    requireActive();
    CheckBrowseMode();
    if (eof_) return;
    Row r;
    if (hasRow_ && readNext(currentKey_, r)) {
        bof_ = eof_ = false;
        setCurrent(&r);
    } else {
        bof_ = false;
        eof_ = true;
        notify([](DataSource* s) { s->notifyScrolled(); }); // the navigator's buttons follow
    }
}

void DataSet::Prior() {
    requireActive();
    CheckBrowseMode();
    if (bof_) return;
    Row r;
    if (hasRow_ && readPrior(currentKey_, r)) {
        bof_ = eof_ = false;
        setCurrent(&r);
    } else {
        bof_ = true;
        eof_ = false;
        notify([](DataSource* s) { s->notifyScrolled(); });
    }
}

void DataSet::MoveBy(int distance) {
    for (; distance > 0 && !eof_; --distance)
        Next();
    for (; distance < 0 && !bof_; ++distance)
        Prior();
}

bool DataSet::readNearest(const RowKey& key, Row& row) {
    return readRow(key, row) || readNext(key, row) || readPrior(key, row);
}

void DataSet::Refresh() {
    requireActive();
    CheckBrowseMode();
    Row r;
    bool ok = hasRow_ ? readNearest(currentKey_, r) : false;
    if (!ok) ok = readFirst(r);
    bof_ = !ok;
    eof_ = !ok;
    setCurrent(ok ? &r : nullptr, false);
    notifyDataSetChanged();
    fire(DataSetEvent::AfterRefresh);
}

bool DataSet::GotoKey(const RowKey& key) {
    requireActive();
    CheckBrowseMode();
    Row r;
    if (!readRow(key, r)) return false;
    bof_ = eof_ = false;
    setCurrent(&r);
    return true;
}

static bool sameValue(const Field* f, const QVariant& stored, const QVariant& wanted) {
    const bool storedNull = stored.isNull() || (f->isText() && stored.toString().isEmpty());
    const bool wantedNull = wanted.isNull() || (f->isText() && wanted.toString().isEmpty());
    if (storedNull || wantedNull) return storedNull == wantedNull;
    switch (f->dataType()) {
    case FieldType::String:
    case FieldType::Memo:
        return stored.toString() == wanted.toString();
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Float:
        return stored.toDouble() == wanted.toDouble();
    default:
        return stored == wanted || stored.toString() == wanted.toString();
    }
}

bool DataSet::Locate(const QString& fieldName, const QVariant& value) {
    requireActive();
    CheckBrowseMode();
    Field* f = FieldByName(fieldName);
    QVariant wanted = value;
    if (value.metaType().id() == QMetaType::QString && !f->isText())
        wanted = f->convertText(value.toString());
    Row r;
    bool ok = readFirst(r);
    while (ok && !sameValue(f, r.values.value(f->index()), wanted))
        ok = readNext(r.key, r);
    if (!ok) return false;
    bof_ = eof_ = false;
    setCurrent(&r);
    return true;
}

// --- editing ------------------------------------------------------------------------------

void DataSet::UpdateRecord() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    notify([](DataSource* s) { s->notifyUpdateData(); });
}

void DataSet::CheckBrowseMode() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    UpdateRecord();
    if (modified_)
        Post();
    else
        Cancel();
}

void DataSet::Edit() {
    requireActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    if (!CanModify()) raise("Cannot modify a read-only dataset");
    if (IsEmpty()) {
        Insert();
        return;
    }
    fire(DataSetEvent::BeforeEdit);
    // the row as it is stored now: the post compares against it, so an edit never
    // overwrites what another desk stored in between
    Row r;
    if (!readRow(currentKey_, r)) {
        Row n;
        const bool ok = readNearest(currentKey_, n);
        bof_ = eof_ = !ok;
        setCurrent(ok ? &n : nullptr);
        notifyDataSetChanged();
        throw EngineError("The row was deleted by another user since it was read.", ErrorKind::Conflict);
    }
    r.values.resize(fieldPtrs_.size());
    const bool changed = r.values != buffer_ || r.key != currentKey_;
    currentKey_ = r.key;
    buffer_ = r.values;
    original_ = buffer_;
    modified_ = false;
    setState(DataSetState::Edit);
    if (changed) notify([](DataSource* s) { s->notifyRecordChanged(nullptr); });
    fire(DataSetEvent::AfterEdit);
}

void DataSet::Insert() {
    requireActive();
    CheckBrowseMode();
    if (!CanModify()) raise("Cannot modify a read-only dataset");
    fire(DataSetEvent::BeforeInsert);
    hadRowBeforeInsert_ = hasRow_;
    rowBeforeInsert_ = hasRow_ ? Row{currentKey_, original_} : Row{};
    buffer_ = QVector<QVariant>(fieldPtrs_.size());
    original_ = buffer_;
    modified_ = false;
    setState(DataSetState::Insert);
    notifyDataSetChanged();
    fire(DataSetEvent::AfterInsert);
    fire(DataSetEvent::AfterScroll);
}

void DataSet::focusControl(Field* field) {
    notify([field](DataSource* s) { s->notifyFocusControl(field); });
}

void DataSet::checkRequired() {
    for (Field* f : fieldPtrs_) {
        if (!f->Required() || !f->IsNull()) continue;
        if (f->dataType() == FieldType::AutoInc && state_ == DataSetState::Insert)
            continue; // the engine numbers it
        f->FocusControl();
        throw DatabaseError(QString("Field '%1' must have a value").arg(f->FieldName()),
                            ErrorKind::InvalidValue);
    }
}

void DataSet::Post() {
    requireActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        raise("Dataset not in edit or insert mode");
    UpdateRecord();
    fire(DataSetEvent::BeforePost);
    checkRequired();
    Database* db = database();
    if (db->InTransaction()) db->noteWrite(this);
    // a failure here leaves the row in edit or insert with its values
    RowKey key;
    if (state_ == DataSetState::Insert)
        key = insertRow(buffer_);
    else {
        updateRow(currentKey_, original_, buffer_);
        key = rowKeyOf(currentKey_, buffer_);
    }
    // stored: re-read it as the engine keeps it
    state_ = DataSetState::Browse;
    modified_ = false;
    Row r;
    bool ok = false;
    try {
        ok = readRow(key, r);
    } catch (...) {
        notify([](DataSource* s) { s->notifyStateChanged(); });
        throw;
    }
    if (ok) {
        bof_ = eof_ = false;
        hasRow_ = true;
        currentKey_ = r.key;
        buffer_ = r.values;
        buffer_.resize(fieldPtrs_.size());
        original_ = buffer_;
    } else {
        Row n;
        ok = readNearest(key, n);
        bof_ = eof_ = !ok;
        if (ok) {
            hasRow_ = true;
            currentKey_ = n.key;
            buffer_ = n.values;
            buffer_.resize(fieldPtrs_.size());
            original_ = buffer_;
        } else {
            clearRow();
        }
    }
    notify([](DataSource* s) { s->notifyStateChanged(); });
    notify([](DataSource* s) { s->notifyRecordChanged(nullptr); });
    notifyDataSetChanged();
    fire(DataSetEvent::AfterPost);
}

void DataSet::Cancel() {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert) return;
    fire(DataSetEvent::BeforeCancel);
    const bool wasInsert = state_ == DataSetState::Insert;
    modified_ = false;
    if (wasInsert) {
        if (hadRowBeforeInsert_) {
            hasRow_ = true;
            currentKey_ = rowBeforeInsert_.key;
            buffer_ = rowBeforeInsert_.values;
            buffer_.resize(fieldPtrs_.size());
            original_ = buffer_;
        } else {
            clearRow();
        }
    } else {
        buffer_ = original_;
    }
    setState(DataSetState::Browse);
    notify([](DataSource* s) { s->notifyRecordChanged(nullptr); });
    if (wasInsert) notifyDataSetChanged();
    fire(DataSetEvent::AfterCancel);
}

void DataSet::Delete() {
    requireActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (IsEmpty()) raise("Cannot perform this operation on an empty dataset");
    if (!CanModify()) raise("Cannot modify a read-only dataset");
    fire(DataSetEvent::BeforeDelete);
    Database* db = database();
    if (db->InTransaction()) db->noteWrite(this);
    const RowKey old = currentKey_;
    deleteRow(old, original_);
    modified_ = false;
    state_ = DataSetState::Browse;
    Row r;
    bool ok = readNext(old, r);
    if (ok) {
        bof_ = eof_ = false;
    } else {
        ok = readPrior(old, r);
        bof_ = !ok;
        eof_ = true;
    }
    notify([](DataSource* s) { s->notifyStateChanged(); });
    setCurrent(ok ? &r : nullptr);
    notifyDataSetChanged();
    fire(DataSetEvent::AfterDelete);
}

// --- transactions ---------------------------------------------------------------------------

DataSet::Snapshot DataSet::snapshot() const {
    Snapshot s;
    s.state = state_;
    s.modified = modified_;
    s.bof = bof_;
    s.eof = eof_;
    s.key = currentKey_;
    s.buffer = buffer_;
    s.original = original_;
    s.hasRow = hasRow_;
    s.rowBeforeInsert = rowBeforeInsert_;
    s.hadRowBeforeInsert = hadRowBeforeInsert_;
    return s;
}

void DataSet::restore(const Snapshot& s) {
    if (!Active()) return; // closed since: nothing to put back
    rowsChanged();
    state_ = s.state;
    modified_ = s.modified;
    bof_ = s.bof;
    eof_ = s.eof;
    currentKey_ = s.key;
    buffer_ = s.buffer;
    original_ = s.original;
    buffer_.resize(fieldPtrs_.size());
    original_.resize(fieldPtrs_.size());
    hasRow_ = s.hasRow;
    rowBeforeInsert_ = s.rowBeforeInsert;
    hadRowBeforeInsert_ = s.hadRowBeforeInsert;
    notify([](DataSource* src) { src->notifyStateChanged(); });
    notify([](DataSource* src) { src->notifyRecordChanged(nullptr); });
    notifyDataSetChanged();
}

} // namespace data
