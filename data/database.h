#pragma once
// The database engine: connections, the catalogue and transactions. Aliases are in
// alias.h, the SQL dialects in dialect.h.
#include "alias.h"
#include "dialect.h"
#include "errors.h"
#include "field.h"
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace data {

class DataSet;

class Database {
public:
    // The one open database of an alias in this process (opened on first use).
    static Database& forAlias(const QString& alias);
    // Closes every open database (tests, program end).
    static void closeAll();

    const QString& alias() const { return config_.name; }
    const AliasConfig& config() const { return config_; }
    const Dialect& dialect() const { return *dialect_; }
    QSqlDatabase connection() const; // the read-write connection
    // A connection of its own for one query's running statement (SQLite: a second,
    // read-only connection to the file, so an unfinished statement keeps the snapshot it
    // started with; PostgreSQL: a second connection to the server, where one statement sees
    // one snapshot; ODBC: the main connection). Hand it back by its name with
    // releaseSnapshot() once the caller holds no copy of it: one given-back connection is
    // kept for the next statement, any more are closed, so a desk at rest holds at most two.
    QSqlDatabase snapshotConnection();
    void releaseSnapshot(const QString& connectionName);
    int snapshotsInUse() const;  // lent and not given back (each holds a running statement)
    int openConnections() const; // the main one and the snapshot connections, lent or kept
    // Told of every connection the layer opens, once it is open (tests count what the engine
    // reads on each); none by default.
    static void setConnectionObserver(std::function<void(const QSqlDatabase&)> observer);
    // The database of an alias if it is open in this process, else nullptr (never opens).
    static Database* existing(const QString& alias);

    // Prepared statements, cached by text; forward-only.
    QSqlQuery& prepared(const QString& sql);
    // The layer's own statements, cached by text: runs one with bound values and hands
    // every result row to onRow (columns by position). Returns the number of rows a write
    // changed; insertId receives a new row's autoincrement key. On SQLite it goes straight
    // to the engine (Qt's driver rebuilds its column record on every run, which costs more
    // than reading a page of rows). Errors as exec().
    class ResultRow { // the current row of a run
    public:
        virtual ~ResultRow() = default;
        virtual int count() const = 0;
        virtual QVariant value(int column) const = 0;
        // A column as the engine holds it, without making a QVariant: a number, or a text's
        // UTF-8 bytes (valid until the next row). False where the engine gives no such form
        // (take value() then); value() makes the same value of it.
        struct Plain {
            enum Type { Null, Integer, Float, Text } type = Null;
            qint64 i = 0;
            double d = 0;
            const char* text = nullptr;
            int size = 0;
        };
        virtual bool plain(int column, Plain& out) const { return false; }
    };
    using RowSink = std::function<void(const ResultRow& row)>;
    int run(const QString& sql, const QVariantList& values, const RowSink& onRow = {},
            QVariant* insertId = nullptr);
    bool nativeStatements() const; // run() goes straight to SQLite
    // Runs a prepared statement with bound values; raises EngineError with a readable text
    // ("Key violation." for a unique index, the engine's text otherwise).
    void exec(QSqlQuery& q, const QVariantList& values, const QString& context = {});

    // The error to raise for a failed statement of this database: the connection lost
    // (noted, so that the next operation reconnects), else engineError's reading.
    EngineError failure(const QSqlError& e);
    // After a lost connection: opens it anew (not inside a transaction, which went with it).
    void ensureConnected();
    bool connectionLost() const;

    bool tableExists(const QString& table);
    QStringList columns(const QString& table); // in table order
    struct ColumnInfo {
        QString name; // as the table spells it
        FieldType type = FieldType::String;
        int size = 0; // text width when declared, else 0
    };
    // The table's columns with their types (EngineError naming a missing table).
    const QVector<ColumnInfo>& columnInfo(const QString& table);
    // The table's name as the database spells it (engines that keep the case of quoted
    // names need it exactly); the name itself when there is no such table.
    QString physicalTableName(const QString& table);
    // Forgets what was read about the tables (after the admin tool changed them).
    void forgetSchema();
    quint64 schemaGeneration() const { return schemaGeneration_; }       // grows with forgetSchema()
    QString primaryKey(const QString& table);                            // the integer row key column
    QStringList indexFields(const QString& table, const QString& index); // EngineError if none
    // The columns of each unique index of the table (none known on ODBC).
    QVector<QStringList> uniqueIndexes(const QString& table);

    // Transactions. Every post, insert and delete is its own committed transaction unless a
    // transaction of this object is in progress; then it joins it. Posts made inside a
    // transaction that is rolled back are undone in their datasets too: each goes back to
    // the state, row and values it had before its post.
    void StartTransaction();
    void Commit(); // a failed commit rolls back and raises the commit's error
    // Every dataset is put back even when one of them fails to (its data links read rows);
    // the first such error is raised afterwards.
    void Rollback();
    bool InTransaction() const { return depth_ > 0; }
    void noteWrite(DataSet* ds); // called by datasets before writing inside a transaction
    void forgetDataSet(DataSet* ds);
    // A write of one statement outside StartTransaction: BEGIN(IMMEDIATE)..COMMIT around it.
    class WriteScope {
    public:
        explicit WriteScope(Database& db);
        ~WriteScope(); // rolls back when commit() was not reached
        void commit();

    private:
        Database& db_;
        bool own_ = false, done_ = false;
    };

    ~Database();

private:
    explicit Database(AliasConfig cfg);
    struct Impl;
    std::unique_ptr<Impl> d;
    AliasConfig config_;
    std::unique_ptr<Dialect> dialect_;
    int depth_ = 0;
    quint64 schemaGeneration_ = 0;
};

// A grouped save: several datasets' posts stored together or not at all.
class Transaction {
public:
    explicit Transaction(Database& db) : db_(db) { db_.StartTransaction(); }
    // Rolls back when Commit() was not reached. It often runs while the stack unwinds from
    // another error, so it never throws: an error of the rollback or of putting a dataset
    // back is reported after the event in progress (deferrederror.h).
    ~Transaction();
    void Commit() {
        db_.Commit();
        done_ = true;
    }

private:
    Database& db_;
    bool done_ = false;
};

} // namespace data
