#include "controls/db/lookuplist.h"

#include "controls/application.h"
#include <QLocale>

namespace controls::dbctl {

QString valueText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return value.toString();
    }
}

LookupList::LookupList(QObject* parent) : QAbstractListModel(parent) {}

void LookupList::setFields(const QString& listField, const QString& keyField) {
    listField_ = listField;
    keyField_ = keyField.isEmpty() ? listField : keyField;
    reset();
}

void LookupList::setDataSet(data::DataSet* dataSet) {
    dataSet_ = dataSet;
    reset();
}

void LookupList::reset() {
    beginResetModel();
    rows_.clear();
    atEnd_ = false;
    endResetModel();
}

int LookupList::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

QVariant LookupList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole) return rows_[index.row()].text;
    return {};
}

bool LookupList::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !atEnd_ && listActive();
}

void LookupList::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) fetchPage();
}

int LookupList::columnOf(const QString& fieldName) const {
    if (!dataSet_ || fieldName.isEmpty()) return -1;
    const data::Field* f = dataSet_->FindField(fieldName);
    return f ? f->index() : -1;
}

bool LookupList::fetchPage() {
    if (atEnd_ || !listActive()) {
        atEnd_ = true;
        return false;
    }
    QVector<data::Row> page;
    bool failed = true;
    const data::RowKey after = rows_.isEmpty() ? data::RowKey() : rows_.back().rowKey;
    runGuarded([&] {
        page = dataSet_->FetchRows(after, true, pageSize_, false);
        failed = false;
    });
    if (failed || page.size() < pageSize_) atEnd_ = true;
    if (page.isEmpty()) return false;
    const int textCol = columnOf(listField_);
    const int keyCol = columnOf(keyField_);
    beginInsertRows({}, int(rows_.size()), int(rows_.size() + page.size() - 1));
    for (const data::Row& r : page) {
        Entry e;
        e.rowKey = r.key;
        e.text = textCol >= 0 ? valueText(r.values.value(textCol)) : QString();
        e.key = keyCol >= 0 ? r.values.value(keyCol) : QVariant();
        rows_.append(std::move(e));
    }
    endInsertRows();
    return true;
}

QString LookupList::text(int row) const {
    return row >= 0 && row < rows_.size() ? rows_[row].text : QString();
}

QVariant LookupList::key(int row) const {
    return row >= 0 && row < rows_.size() ? rows_[row].key : QVariant();
}

bool LookupList::ensureRow(int row) {
    while (row >= rows_.size())
        if (!fetchPage()) break;
    return row >= 0 && row < rows_.size();
}

void LookupList::fetchAll() {
    while (fetchPage()) {
    }
}

int LookupList::findKey(const QVariant& key) {
    const QString wanted = valueText(key);
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && valueText(rows_[i].key) == wanted) return i;
    }
}

int LookupList::findText(const QString& text) {
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && rows_[i].text == text) return i;
    }
}

int LookupList::findPrefix(const QString& prefix) {
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && rows_[i].text.startsWith(prefix, Qt::CaseInsensitive)) return i;
    }
}

int LookupList::findLoadedText(const QString& text) const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].text == text) return i;
    return -1;
}

} // namespace controls::dbctl
