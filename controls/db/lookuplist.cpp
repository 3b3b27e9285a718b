#include "controls/db/lookuplist.h"

#include "controls/application.h"
#include <QLocale>
#include <algorithm>

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
    atStart_ = true;
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

LookupList::Entry LookupList::entryOf(const data::Row& r) const {
    const int textCol = columnOf(listField_);
    const int keyCol = columnOf(keyField_);
    Entry e;
    e.rowKey = r.key;
    e.text = textCol >= 0 ? valueText(r.values.value(textCol)) : QString();
    e.key = keyCol >= 0 ? r.values.value(keyCol) : QVariant();
    return e;
}

void LookupList::holdFrom(const QVector<data::Row>& rows, bool atStart, bool atEnd) {
    beginResetModel();
    rows_.clear();
    for (const data::Row& r : rows)
        rows_.append(entryOf(r));
    atStart_ = atStart;
    atEnd_ = atEnd;
    endResetModel();
}

bool LookupList::seekFrom(const QVariant& value, QVector<data::Row>& first) {
    if (!listActive() || listField_.isEmpty()) return false;
    bool seekable = false;
    runGuarded([&] { seekable = dataSet_->SeekRows(listField_, value, pageSize_, first); });
    return seekable;
}

namespace {

// The smallest text at least `s` that begins with `prefix` in some letter case, compared
// as the list's order compares (by character code); empty when there is none.
QString nextCaseVariant(const QString& s, const QString& prefix) {
    const int k = int(prefix.size());
    auto options = [&](int i) {
        QChar a = prefix[i].toUpper(), b = prefix[i].toLower();
        if (b < a) std::swap(a, b);
        return std::pair<QChar, QChar>{a, b};
    };
    auto smallestFrom = [&](QString head, int i) {
        for (; i < k; ++i)
            head += options(i).first;
        return head;
    };
    int j = 0;
    while (j < k && j < s.size() && (s[j] == options(j).first || s[j] == options(j).second))
        ++j;
    if (j == k) return s.left(k);
    for (int i = j; i >= 0; --i) {
        if (i >= s.size()) return smallestFrom(s.left(i), i);
        const auto [lo, hi] = options(i);
        for (QChar o : {lo, hi})
            if (o > s[i]) return smallestFrom(s.left(i) + o, i + 1);
    }
    return {};
}

} // namespace

int LookupList::findKey(const QVariant& key) {
    const QString wanted = valueText(key);
    for (int i = 0; i < rows_.size(); ++i)
        if (valueText(rows_[i].key) == wanted) return i;
    if (atStart_ && atEnd_) return -1;
    if (keyField_.compare(listField_, Qt::CaseInsensitive) == 0) {
        QVector<data::Row> found;
        if (seekFrom(key, found)) {
            if (found.isEmpty() || valueText(entryOf(found.first()).key) != wanted) return -1;
            holdFrom(found, false, found.size() < pageSize_);
            return 0;
        }
    }
    if (!atStart_) reset();
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && valueText(rows_[i].key) == wanted) return i;
    }
}

int LookupList::findText(const QString& text) {
    const int loaded = findLoadedText(text);
    if (loaded >= 0 || (atStart_ && atEnd_)) return loaded;
    QVector<data::Row> found;
    if (seekFrom(text, found)) {
        if (found.isEmpty() || entryOf(found.first()).text != text) return -1;
        holdFrom(found, false, found.size() < pageSize_);
        return 0;
    }
    if (!atStart_) reset();
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && rows_[i].text == text) return i;
    }
}

int LookupList::findPrefix(const QString& prefix) {
    if (atStart_) {
        // the first match among the rows held is the list's first match
        for (int i = 0; i < rows_.size(); ++i)
            if (rows_[i].text.startsWith(prefix, Qt::CaseInsensitive)) return i;
        if (atEnd_) return -1;
    }
    // Seek: the matches of each letter case lie together in the order; try them in order.
    QString probe = nextCaseVariant(QString(), prefix);
    for (int tries = 0; !probe.isEmpty() && tries < 64; ++tries) {
        QVector<data::Row> found;
        if (!seekFrom(probe, found)) break;
        if (found.isEmpty()) return -1;
        const QString text = entryOf(found.first()).text;
        if (text.startsWith(prefix, Qt::CaseInsensitive)) {
            holdFrom(found, false, found.size() < pageSize_);
            return 0;
        }
        const QString next = nextCaseVariant(text, prefix);
        if (next.isEmpty() || next <= probe) return -1;
        probe = next;
    }
    if (!atStart_) reset();
    for (int i = 0;; ++i) {
        if (i >= rows_.size() && !fetchPage()) return -1;
        if (i < rows_.size() && rows_[i].text.startsWith(prefix, Qt::CaseInsensitive)) return i;
    }
}

int LookupList::seekLast() {
    if (atStart_ && atEnd_) return int(rows_.size()) - 1;
    if (!listActive()) return -1;
    QVector<data::Row> page;
    bool failed = true;
    runGuarded([&] {
        page = dataSet_->FetchRows({}, false, pageSize_, false);
        failed = false;
    });
    if (failed) return int(rows_.size()) - 1;
    std::reverse(page.begin(), page.end()); // backward pages come nearest-first
    holdFrom(page, page.size() < pageSize_, true);
    return int(rows_.size()) - 1;
}

int LookupList::fetchBefore() {
    if (atStart_ || rows_.isEmpty() || !listActive()) return 0;
    QVector<data::Row> page;
    bool failed = true;
    runGuarded([&] {
        page = dataSet_->FetchRows(rows_.first().rowKey, false, pageSize_, false);
        failed = false;
    });
    if (failed || page.size() < pageSize_) atStart_ = true;
    if (page.isEmpty()) return 0;
    const int n = int(page.size());
    beginInsertRows({}, 0, n - 1);
    QVector<Entry> before;
    before.reserve(n);
    for (int i = n - 1; i >= 0; --i)
        before.append(entryOf(page[i]));
    rows_ = before + rows_;
    endInsertRows();
    return n;
}

int LookupList::findLoadedKey(const QVariant& key) const {
    const QString wanted = valueText(key);
    for (int i = 0; i < rows_.size(); ++i)
        if (valueText(rows_[i].key) == wanted) return i;
    return -1;
}

int LookupList::findLoadedText(const QString& text) const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].text == text) return i;
    return -1;
}

} // namespace controls::dbctl
