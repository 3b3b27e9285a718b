#pragma once
// Filter expressions of tables, parsed into a small tree and turned into SQL with bound
// values: the text a user or a layout gives never becomes part of the SQL itself.
//
//   Status = 'IN'            Department ='O''Brien & Co'      To = 'Smith, Ann'
//   [Message Type] = 'Call back'      Name = 'Sm*'   (a prefix)      Emp_Num >= 100
//   Status = 'IN' AND NOT (City = 'Boston' OR City = '')      EMail IS NULL
//
// Compares are case-sensitive and over the whole value. A string constant that ends in
// '*' and is longer than "*" compares a prefix (with = and <>). An empty constant ''
// matches empty (NULL) values. NULL (empty) sorts before every value, as in the tables'
// order, and every compare is two-valued (NOT (Status = 'IN') includes empty statuses).
#include "field.h"
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

namespace data {

class Dialect;

class FilterExpr {
public:
    enum class Kind { And, Or, Not, Compare, IsNull };
    struct Operand {
        bool isField = false;
        QString name;      // field name
        QVariant constant; // string or double
        QString literal;   // the constant as written (numbers)
        bool isString = false;
    };
    struct Column {
        QString sql; // quoted column name
        FieldType type = FieldType::String;
    };
    using ColumnResolver = std::function<Column(const QString& fieldName)>; // may throw

    // Throws DatabaseError("Filter expression incorrectly formed: ...") without a dataset name.
    static std::unique_ptr<FilterExpr> parse(const QString& text);

    // The SQL condition; values receives the bound values in placeholder order.
    QString toSql(const ColumnResolver& resolve, const Dialect& dialect, QVariantList& values) const;
    QStringList fieldNames() const;

    Kind kind = Kind::Compare;
    QString op;           // =, <>, <, <=, >, >=
    bool negated = false; // IS NOT NULL
    Operand lhs, rhs;
    std::unique_ptr<FilterExpr> left, right;
};

} // namespace data
