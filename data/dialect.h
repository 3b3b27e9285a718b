#pragma once
// The SQL dialects of the engines and the translation of stored local SQL.
#include <QString>
#include <QVector>
#include <memory>

namespace data {

// A stored SELECT taken apart where reading it in pieces needs it.
struct LocalSelect {
    struct Term {
        QString qualifier, column; // as written, without quotes or brackets
        bool descending = false;
    };
    QString body;            // the local SQL before its ORDER BY (all of it when there is none)
    QVector<Term> order;     // the ORDER BY's terms, when each is a column with an optional ASC/DESC
    bool plainOrder = false; // there is an ORDER BY and `order` holds all of it
    bool limitable = false;  // a SELECT without a LIMIT, OFFSET, FETCH or FOR of its own
};

// The few differences between SQL engines, in one place.
class Dialect {
public:
    virtual ~Dialect() = default;
    virtual QString quote(const QString& identifier) const; // "Name" (embedded " doubled)
    virtual QString beginWrite() const { return "BEGIN"; }
    virtual QString collate() const { return {}; }    // appended after text columns in ORDER BY / compares
    virtual QString nullsFirst() const { return {}; } // appended after ORDER BY terms
    virtual QString nullsLast() const { return {}; }  // appended after DESC ORDER BY terms
    virtual QString nullSafeEqual(const QString& lhs,
                                  const QString& rhs) const; // lhs IS NOT DISTINCT FROM rhs
    virtual QString limit(int n) const { return QString(" LIMIT %1").arg(n); }
    virtual bool insertReturning() const { return false; } // INSERT ... RETURNING key
    // True when a failing statement spoils the whole transaction it runs in (a statement
    // that may fail then runs inside a savepoint of its own).
    virtual bool failureEndsTransaction() const { return true; }
    // The statement that moves an autoincrement counter past the largest key stored, after
    // rows were written with keys of their own; empty where the engine does so itself.
    virtual QString keyCounterCatchUp(const QString& table, const QString& column) const { return {}; }
    // DDL, used by the admin tool
    virtual QString autoIncrementColumn(const QString& quotedName) const = 0;
    virtual QString textType(int size) const; // VARCHAR(n)
    virtual QString memoType() const { return "TEXT"; }
    virtual QString floatType() const { return "DOUBLE PRECISION"; }
    virtual QString integerType() const { return "INTEGER"; }
    virtual QString dateTimeType() const { return "TIMESTAMP"; }
    virtual QString indexColumn(const QString& quotedName, bool text) const { return quotedName; }
    // True when ORDER BY terms written with nullsFirst()/nullsLast() put NULLs before every
    // value in ascending order (as SQLite does of itself).
    virtual bool nullsSortFirst() const { return true; }

    // Rewrites stored local SQL: [Field Name] -> quoted identifier, bare identifiers quoted
    // (so mixed-case names survive engines that fold case), keywords and strings untouched.
    QString translateLocalSql(const QString& sql) const;
    static LocalSelect splitLocalSelect(const QString& sql);
    // " ORDER BY" with the terms in this engine's words, NULLs first in ascending order where
    // the engine can say so; reversed turns every term round; qualifier, when given, stands
    // for each term's own.
    QString orderBy(const QVector<LocalSelect::Term>& terms, bool reversed,
                    const QString& qualifier = {}) const;
    // An identifier as translateLocalSql writes it (SQLite: `Name`, which never turns into
    // a string constant when no such column exists, as a double-quoted one would).
    virtual QString quoteInQuery(const QString& identifier) const { return quote(identifier); }

    static std::unique_ptr<Dialect> forDriver(const QString& driver);
};

} // namespace data
