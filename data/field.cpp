// Field objects: typed access to one column of a dataset's current row.
#include "field.h"
#include "dataset.h"
#include "errors.h"
#include "formatsettings.h"
#include <QDateTime>
#include <QLocale>
#include <cmath>

namespace data {

namespace {

QLocale strictC() {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator | QLocale::OmitGroupSeparator);
    return c;
}

// A two-digit year means one of the hundred years up to twenty years from now (a birth
// year "70" is 1970, "26" this year).
QDate applyCenturyWindow(QDate date) {
    const int currentYear =
        formatSettings().now ? formatSettings().now().date().year() : QDate::currentDate().year();
    const int base = currentYear + 20 - 99;
    int year = date.year() % 100 + base / 100 * 100;
    if (year < base) year += 100;
    return QDate(year, date.month(), date.day());
}

bool hasFourDigitYear(const QString& format) { return format.contains("yyyy"); }

QDateTime parseStoredDateTime(const QVariant& v) {
    if (v.metaType().id() == QMetaType::QDateTime) return v.toDateTime();
    if (v.metaType().id() == QMetaType::QDate) return QDateTime(v.toDate(), QTime(0, 0));
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!dt.isValid()) dt = QDateTime::fromString(QString(s).replace(' ', 'T'), Qt::ISODateWithMs);
    if (!dt.isValid()) {
        const QDate d = QDate::fromString(s, Qt::ISODate);
        if (d.isValid()) dt = QDateTime(d, QTime(0, 0));
    }
    return dt;
}

QString fieldTypeMessage(FieldType t) {
    switch (t) {
    case FieldType::Integer:
    case FieldType::AutoInc:
        return "integer";
    default:
        return "floating point";
    }
}

// Text cut to at most size UTF-16 units, never between the two halves of a character
// outside the basic plane (an emoji): half a character is no text any engine can store.
QString cutText(const QString& text, int size) {
    if (size <= 0 || text.size() <= size) return text;
    int n = size;
    if (text.at(n - 1).isHighSurrogate() && text.at(n).isLowSurrogate()) --n;
    return text.left(n);
}

// Characters no engine stores as typed: NUL (it ends a statement's text on PostgreSQL and a
// C string on SQLite) and half of a character outside the basic plane. -1 when there is none.
int unstorableAt(const QString& text) {
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() == 0) return i;
        if (c.isHighSurrogate()) {
            if (i + 1 < n && text.at(i + 1).isLowSurrogate()) {
                ++i;
                continue;
            }
            return i;
        }
        if (c.isLowSurrogate()) return i;
    }
    return -1;
}

void refuseUnstorable(const QString& text, const QString& fieldName) {
    const int at = unstorableAt(text);
    if (at < 0) return;
    const char16_t code = text.at(at).unicode();
    const QString what = code == 0
                             ? QString("a NUL character (code 0)")
                             : QString("half of a character (code %1)").arg(int(code), 4, 16, QChar('0'));
    throw DatabaseError(QString("Field '%1' cannot store %2, at position %3 of the text. "
                                "Remove it, or press Esc to abandon the change")
                            .arg(fieldName, what)
                            .arg(at + 1),
                        ErrorKind::InvalidValue);
}

} // namespace

Field::Field(DataSet* dataSet, FieldDef def, int index)
    : dataSet_(dataSet), def_(std::move(def)), index_(index) {
    if (!def_.editMask.isEmpty()) mask_ = EditMask(def_.editMask);
}

int Field::DisplayWidth() const {
    if (def_.displayWidth > 0) return def_.displayWidth;
    switch (def_.type) {
    case FieldType::String:
        return def_.size > 0 ? def_.size : 20;
    case FieldType::Memo:
        return 10;
    case FieldType::DateTime:
        return 18;
    default:
        return 10;
    }
}

QVariant Field::Value() const {
    const QVariant v = dataSet_->fieldValue(index_);
    if (v.isNull()) return {};
    switch (def_.type) {
    case FieldType::String:
    case FieldType::Memo: {
        const QString s = v.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::DateTime: {
        const QDateTime dt = parseStoredDateTime(v);
        return dt.isValid() ? QVariant(dt) : v;
    }
    case FieldType::Integer:
    case FieldType::AutoInc:
        if (v.metaType().id() == QMetaType::QString) {
            bool ok = false;
            const qlonglong n = v.toString().trimmed().toLongLong(&ok);
            return ok ? QVariant(n) : v;
        }
        return v.toLongLong();
    case FieldType::Float:
        if (v.metaType().id() == QMetaType::QString) {
            bool ok = false;
            const double d = strictC().toDouble(v.toString().trimmed(), &ok);
            return ok ? QVariant(d) : v;
        }
        return v.toDouble();
    }
    return v;
}

bool Field::IsNull() const { return Value().isNull(); }

QString Field::AsString() const {
    const QVariant v = Value();
    if (v.isNull()) return {};
    switch (def_.type) {
    case FieldType::Float: {
        if (v.metaType().id() != QMetaType::Double) return v.toString();
        QString s = QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        const QChar dec = formatSettings().decimalSeparator;
        if (dec != '.') s.replace('.', dec);
        return s;
    }
    case FieldType::Integer:
    case FieldType::AutoInc:
        return v.toString();
    case FieldType::DateTime: {
        if (v.metaType().id() != QMetaType::QDateTime) return v.toString();
        const QDateTime dt = v.toDateTime();
        const FormatSettings& fs = formatSettings();
        const QString df = fs.shortDateFormat.isEmpty() ? QString("M/d/yy") : fs.shortDateFormat;
        QString s = QLocale::c().toString(dt.date(), df);
        if (dt.time() != QTime(0, 0)) {
            const QString tf = fs.longTimeFormat.isEmpty() ? QString("h:mm:ss AP") : fs.longTimeFormat;
            s += ' ' + QLocale::c().toString(dt.time(), tf);
        }
        return s;
    }
    default:
        return v.toString();
    }
}

double Field::AsFloat() const {
    const QVariant v = Value();
    return v.isNull() ? 0.0 : v.toDouble();
}

int Field::AsInteger() const {
    const QVariant v = Value();
    return v.isNull() ? 0 : v.toInt();
}

QVariant Field::convertText(const QString& text) const {
    switch (def_.type) {
    case FieldType::String: {
        const QString s = cutText(text, def_.size);
        refuseUnstorable(s, def_.fieldName);
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Memo:
        refuseUnstorable(text, def_.fieldName);
        return text.isEmpty() ? QVariant() : QVariant(text);
    case FieldType::Integer:
    case FieldType::AutoInc: {
        const QString t = text.trimmed();
        if (t.isEmpty()) return {};
        bool ok = false;
        const qlonglong n = strictC().toLongLong(t, &ok);
        if (!ok)
            throw DatabaseError(QString("'%1' is not a valid %2 value for field '%3'")
                                    .arg(echoed(text), fieldTypeMessage(def_.type), def_.fieldName),
                                ErrorKind::InvalidValue);
        return n;
    }
    case FieldType::Float: {
        QString t = text.trimmed();
        if (t.isEmpty()) return {};
        const QChar dec = formatSettings().decimalSeparator;
        bool ok = true;
        if (dec != '.') {
            // with another decimal separator a '.' is no part of a number
            ok = !t.contains('.');
            t.replace(dec, '.');
        }
        double d = 0;
        if (ok) d = strictC().toDouble(t, &ok);
        if (!ok || !std::isfinite(d))
            throw DatabaseError(QString("'%1' is not a valid floating point value for field '%2'")
                                    .arg(echoed(text), def_.fieldName),
                                ErrorKind::InvalidValue);
        return d;
    }
    case FieldType::DateTime: {
        const FormatSettings& fs = formatSettings();
        QString t = text;
        t.remove(' ');
        // a masked box left untouched holds only its separators and blanks: no date
        bool onlySeparators = true;
        for (QChar c : t)
            if (c.isLetterOrNumber()) {
                onlySeparators = false;
                break;
            }
        if (onlySeparators) return {};
        const QString df = fs.shortDateFormat.isEmpty() ? QString("M/d/yy") : fs.shortDateFormat;
        const QString tf = fs.longTimeFormat.isEmpty() ? QString("h:mm:ss AP") : fs.longTimeFormat;
        const QString trimmed = text.simplified();
        const QLocale c = QLocale::c();
        for (const QString& f : {df + ' ' + tf, df + " H:mm:ss", df + " H:mm"}) {
            QDateTime dt = c.toDateTime(trimmed, f);
            if (dt.isValid()) {
                if (!hasFourDigitYear(f)) dt.setDate(applyCenturyWindow(dt.date()));
                return dt;
            }
        }
        QString sep = "/";
        for (QChar ch : df)
            if (!ch.isLetter()) {
                sep = ch;
                break;
            }
        for (const QString& f :
             {df, QString("M/d/yy").replace('/', sep), QString("M/d/yyyy").replace('/', sep)}) {
            QDate d = c.toDate(t, f);
            if (!d.isValid()) d = c.toDate(t, QString(f).replace("MM", "M").replace("dd", "d"));
            if (d.isValid()) {
                if (!hasFourDigitYear(f)) d = applyCenturyWindow(d);
                return QDateTime(d, QTime(0, 0));
            }
        }
        const QDateTime iso = parseStoredDateTime(text);
        if (iso.isValid()) return iso;
        throw DatabaseError(QString("'%1' is not a valid date").arg(echoed(text)), ErrorKind::InvalidValue);
    }
    }
    return text;
}

void Field::SetAsString(const QString& text) {
    const QVariant v = convertText(text);
    dataSet_->setFieldValue(index_, v);
}

void Field::SetValue(const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        Clear();
        return;
    }
    if (value.metaType().id() == QMetaType::QString) {
        SetAsString(value.toString());
        return;
    }
    QVariant v = value;
    switch (def_.type) {
    case FieldType::String:
    case FieldType::Memo:
        SetAsString(value.toString());
        return;
    case FieldType::Integer:
    case FieldType::AutoInc:
        v = value.toLongLong();
        break;
    case FieldType::Float:
        v = value.toDouble();
        break;
    case FieldType::DateTime:
        if (value.metaType().id() == QMetaType::QDate)
            v = QDateTime(value.toDate(), QTime(0, 0));
        else
            v = value.toDateTime();
        break;
    }
    dataSet_->setFieldValue(index_, v);
}

void Field::Clear() { dataSet_->setFieldValue(index_, QVariant()); }

void Field::FocusControl() { dataSet_->focusControl(this); }

} // namespace data
