// The database engine: aliases, the dialect adapters, connections, prepared statements
// and transactions.
#include "database.h"
#include "dataset.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QSettings>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QUrl>
#include <sqlite3.h>
#include <list>
#include <map>
#include <unordered_map>

namespace data {

// ---------------------------------------------------------------------------------------
// Aliases

QString AliasConfig::configFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/quorvale/aliases.ini";
}

static QString findGroup(QSettings& ini, const QString& alias) {
    const QStringList groups = ini.childGroups();
    for (const QString& g : groups)
        if (g.compare(alias, Qt::CaseInsensitive) == 0) return g;
    return {};
}

AliasConfig AliasConfig::load(const QString& alias) {
    const QString path = configFilePath();
    if (alias.trimmed().isEmpty()) throw EngineError("Unknown database alias: (empty name)");
    QSettings ini(path, QSettings::IniFormat);
    const QString group = findGroup(ini, alias);
    if (group.isEmpty()) throw EngineError(QString("Unknown database alias: %1").arg(alias));
    ini.beginGroup(group);
    AliasConfig c;
    c.name = alias;
    c.driver = ini.value("Driver", "SQLITE").toString().trimmed().toUpper();
    if (c.driver.isEmpty()) c.driver = "SQLITE";
    c.path = ini.value("Path").toString();
    c.host = ini.value("Host").toString();
    c.port = ini.value("Port", 0).toInt();
    c.database = ini.value("Database").toString();
    c.user = ini.value("User").toString();
    c.password = ini.value("Password").toString();
    c.dsn = ini.value("DSN").toString();
    ini.endGroup();
    return c;
}

void AliasConfig::save() const {
    const QString file = configFilePath();
    QDir().mkpath(QFileInfo(file).absolutePath());
    QSettings ini(file, QSettings::IniFormat);
    const QString old = findGroup(ini, name);
    if (!old.isEmpty()) ini.remove(old);
    ini.beginGroup(name);
    ini.setValue("Driver", driver.isEmpty() ? QString("SQLITE") : driver.toUpper());
    auto put = [&](const char* key, const QString& v) {
        if (!v.isEmpty()) ini.setValue(key, v);
    };
    put("Path", path);
    put("Host", host);
    if (port) ini.setValue("Port", port);
    put("Database", database);
    put("User", user);
    put("Password", password);
    put("DSN", dsn);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError)
        throw EngineError(QString("Cannot write the alias file %1").arg(file));
}

void AliasConfig::createDatabaseFile() const {
    if (driver.toUpper() != "SQLITE" && !driver.isEmpty()) return;
    if (path.isEmpty()) throw EngineError(QString("Alias %1 names no database file").arg(name));
    if (QFileInfo::exists(path)) return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EngineError(QString("Cannot create the database file %1: %2").arg(path, f.errorString()));
}

// ---------------------------------------------------------------------------------------
// Dialects

QString Dialect::quote(const QString& identifier) const {
    QString s = identifier;
    s.replace('"', "\"\"");
    return '"' + s + '"';
}

QString Dialect::nullSafeEqual(const QString& lhs, const QString& rhs) const {
    return QString("(%1 = %2 OR (%1 IS NULL AND %2 IS NULL))").arg(lhs, rhs);
}

QString Dialect::textType(int size) const { return QString("VARCHAR(%1)").arg(size > 0 ? size : 20); }

namespace {

class SqliteDialect : public Dialect {
public:
    QString beginWrite() const override { return "BEGIN IMMEDIATE"; }
    QString nullSafeEqual(const QString& lhs, const QString& rhs) const override {
        return QString("%1 IS %2").arg(lhs, rhs);
    }
    QString autoIncrementColumn(const QString& q) const override {
        return q + " INTEGER PRIMARY KEY AUTOINCREMENT";
    }
    QString floatType() const override { return "REAL"; }
    QString quoteInQuery(const QString& identifier) const override {
        QString s = identifier;
        s.replace('`', "``");
        return '`' + s + '`';
    }
};

class PostgresDialect : public Dialect {
public:
    // Binary order and compares as on SQLite: "C" collation on every text column.
    QString collate() const override { return " COLLATE \"C\""; }
    QString nullsFirst() const override { return " NULLS FIRST"; }
    QString nullsLast() const override { return " NULLS LAST"; }
    QString nullSafeEqual(const QString& lhs, const QString& rhs) const override {
        return QString("%1 IS NOT DISTINCT FROM %2").arg(lhs, rhs);
    }
    bool insertReturning() const override { return true; }
    QString autoIncrementColumn(const QString& q) const override { return q + " SERIAL PRIMARY KEY"; }
    QString textType(int size) const override { return Dialect::textType(size) + " COLLATE \"C\""; }
    QString memoType() const override { return "TEXT COLLATE \"C\""; }
    QString indexColumn(const QString& q, bool text) const override {
        return text ? q + " COLLATE \"C\"" : q;
    }
};

class OdbcDialect : public Dialect {
public:
    QString limit(int n) const override { return QString(" FETCH FIRST %1 ROWS ONLY").arg(n); }
    QString autoIncrementColumn(const QString& q) const override {
        return q + " INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY";
    }
};

const QSet<QString>& sqlKeywords() {
    static const QSet<QString> k = {
        "SELECT", "DISTINCT", "ALL",    "FROM",    "WHERE",  "AND",    "OR",        "NOT",    "NULL",
        "IS",     "IN",       "LIKE",   "BETWEEN", "ESCAPE", "EXISTS", "AS",        "ON",     "JOIN",
        "INNER",  "LEFT",     "RIGHT",  "FULL",    "OUTER",  "CROSS",  "NATURAL",   "USING",  "ORDER",
        "BY",     "GROUP",    "HAVING", "ASC",     "DESC",   "UNION",  "INTERSECT", "EXCEPT", "CASE",
        "WHEN",   "THEN",     "ELSE",   "END",     "INSERT", "INTO",   "VALUES",    "UPDATE", "SET",
        "DELETE", "TRUE",     "FALSE",  "COLLATE", "ANY",    "SOME"};
    return k;
}

bool isIdentStart(QChar c) { return c.isLetter() || c == '_'; }
bool isIdentPart(QChar c) { return c.isLetterOrNumber() || c == '_' || c == '$' || c == '#'; }

} // namespace

QString Dialect::translateLocalSql(const QString& sql) const {
    QString out;
    out.reserve(sql.size() + 32);
    const int n = sql.size();
    int i = 0;
    QString lastWord; // the last bare word, to tell a table's column list from a call
    while (i < n) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            // a string constant or an identifier already quoted: copied as it is
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            int j = sql.indexOf('\n', i);
            if (j < 0) j = n;
            out += sql.mid(i, j - i);
            i = j;
        } else if (c == '[') {
            int j = sql.indexOf(']', i + 1);
            if (j < 0) j = n;
            out += quoteInQuery(sql.mid(i + 1, j - i - 1));
            i = j + 1;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentPart(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            int k = j;
            while (k < n && sql[k].isSpace())
                ++k;
            // "INSERT INTO Mess (...)": a table name and its column list, not a call
            const bool call = k < n && sql[k] == '(' && lastWord.compare("INTO", Qt::CaseInsensitive) != 0;
            const bool afterDot = !out.isEmpty() && out.back() == '.';
            if (!afterDot && (call || sqlKeywords().contains(word.toUpper())))
                out += word;
            else
                out += quoteInQuery(word);
            lastWord = word;
            i = j;
        } else if (c.isDigit()) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '.'))
                ++j;
            out += sql.mid(i, j - i);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::unique_ptr<Dialect> Dialect::forDriver(const QString& driver) {
    const QString d = driver.toUpper();
    if (d.isEmpty() || d == "SQLITE" || d == "QSQLITE") return std::make_unique<SqliteDialect>();
    if (d == "PSQL" || d == "QPSQL" || d == "POSTGRES" || d == "POSTGRESQL")
        return std::make_unique<PostgresDialect>();
    if (d == "ODBC" || d == "QODBC") return std::make_unique<OdbcDialect>();
    throw EngineError(QString("Unknown database driver: %1").arg(driver));
}

// ---------------------------------------------------------------------------------------
// Database

namespace {

enum class Engine { Sqlite, Postgres, Odbc };

Engine engineOf(const QString& driver) {
    const QString d = driver.toUpper();
    if (d == "PSQL" || d == "QPSQL" || d == "POSTGRES" || d == "POSTGRESQL") return Engine::Postgres;
    if (d == "ODBC" || d == "QODBC") return Engine::Odbc;
    return Engine::Sqlite;
}

std::map<QString, std::unique_ptr<Database>>& registry() {
    static std::map<QString, std::unique_ptr<Database>> r;
    return r;
}

QString registryKey(const QString& alias) { return alias.toLower(); }

int connectionSerial = 0;

FieldType typeFromDeclaration(const QString& decl, bool pk, int& size) {
    const QString t = decl.toUpper();
    size = 0;
    const int open = t.indexOf('(');
    if (open >= 0) {
        const int close = t.indexOf(')', open);
        size = t.mid(open + 1, close - open - 1).section(',', 0, 0).trimmed().toInt();
    }
    if (t.contains("INT")) return pk ? FieldType::AutoInc : FieldType::Integer;
    if (t.contains("CHAR")) return FieldType::String;
    if (t.contains("TEXT") || t.contains("CLOB") || t.contains("MEMO")) return FieldType::Memo;
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUM") ||
        t.contains("DEC"))
        return FieldType::Float;
    if (t.contains("DATE") || t.contains("TIME")) return FieldType::DateTime;
    return FieldType::String;
}

FieldType typeFromMeta(const QSqlField& f, bool pk) {
    switch (f.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return pk || f.isAutoValue() ? FieldType::AutoInc : FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
    case QMetaType::QTime:
        return FieldType::DateTime;
    default:
        return f.length() > 0 && f.length() < 4096 ? FieldType::String : FieldType::Memo;
    }
}

} // namespace

struct Database::Impl {
    Engine engine = Engine::Sqlite;
    QString connName;
    QString sqliteUri; // for the snapshot connections
    // prepared statements, most recently used first
    struct Entry {
        QString sql;
        QSqlQuery query;
    };
    std::list<Entry> lru;
    std::unordered_map<QString, std::list<Entry>::iterator> bySql;
    // the same for run() on SQLite: the engine's own statements on the driver's handle
    sqlite3* handle = nullptr;
    struct NativeEntry {
        QString sql;
        sqlite3_stmt* stmt;
    };
    std::list<NativeEntry> nativeLru;
    std::unordered_map<QString, std::list<NativeEntry>::iterator> nativeBySql;

    void clearNative() {
        for (auto& e : nativeLru)
            sqlite3_finalize(e.stmt);
        nativeLru.clear();
        nativeBySql.clear();
    }
    QHash<QString, QVector<ColumnInfo>> columnCache;
    QHash<QString, QString> pkCache;
    QHash<QString, QString> physicalNames; // lower-case name -> as spelt
    QStringList idleSnapshots, busySnapshots;
    // datasets that wrote inside the running transaction, with their state before that
    std::vector<std::pair<DataSet*, DataSet::Snapshot>> written;

    static constexpr size_t maxPrepared = 512;
};

Database* Database::existing(const QString& alias) {
    auto& r = registry();
    auto it = r.find(registryKey(alias));
    return it == r.end() ? nullptr : it->second.get();
}

Database& Database::forAlias(const QString& alias) {
    auto& r = registry();
    const QString key = registryKey(alias);
    auto it = r.find(key);
    if (it != r.end()) return *it->second;
    AliasConfig cfg = AliasConfig::load(alias);
    std::unique_ptr<Database> db(new Database(std::move(cfg)));
    Database& ref = *db;
    r.emplace(key, std::move(db));
    return ref;
}

void Database::closeAll() {
    auto& r = registry();
    // destroy one by one, so a destructor that touches the registry sees a consistent map
    while (!r.empty()) {
        auto node = r.extract(r.begin());
        node.mapped().reset();
    }
}

static void throwOpenError(const AliasConfig& cfg, const QSqlError& e) {
    throw EngineError(QString("Cannot open the database of alias %1: %2")
                          .arg(cfg.name, e.databaseText().isEmpty() ? e.text() : e.databaseText()));
}

Database::Database(AliasConfig cfg) : d(std::make_unique<Impl>()), config_(std::move(cfg)) {
    dialect_ = Dialect::forDriver(config_.driver);
    d->engine = engineOf(config_.driver);
    d->connName = QString("quorvale:%1:%2").arg(config_.name).arg(++connectionSerial);
    QSqlDatabase c;
    switch (d->engine) {
    case Engine::Sqlite: {
        if (config_.path.isEmpty())
            throw EngineError(QString("Alias %1 names no database file").arg(config_.name));
        const QFileInfo fi(config_.path);
        if (!fi.exists() || !fi.isFile())
            throw EngineError(
                QString("The database file of alias %1 does not exist: %2").arg(config_.name, config_.path));
        // mode=rw: never create a missing file behind the user's back
        d->sqliteUri = QUrl::fromLocalFile(fi.absoluteFilePath()).toString(QUrl::FullyEncoded);
        c = QSqlDatabase::addDatabase("QSQLITE", d->connName);
        c.setDatabaseName(d->sqliteUri + "?mode=rw");
        c.setConnectOptions("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000");
        break;
    }
    case Engine::Postgres:
        c = QSqlDatabase::addDatabase("QPSQL", d->connName);
        c.setHostName(config_.host);
        if (config_.port) c.setPort(config_.port);
        c.setDatabaseName(config_.database);
        c.setUserName(config_.user);
        c.setPassword(config_.password);
        break;
    case Engine::Odbc:
        c = QSqlDatabase::addDatabase("QODBC", d->connName);
        c.setDatabaseName(config_.dsn);
        c.setUserName(config_.user);
        c.setPassword(config_.password);
        break;
    }
    if (!c.isValid()) {
        QSqlDatabase::removeDatabase(d->connName);
        throw EngineError(QString("The database driver of alias %1 (%2) is not installed")
                              .arg(config_.name, config_.driver));
    }
    if (!c.open()) {
        const QSqlError e = c.lastError();
        c = QSqlDatabase();
        QSqlDatabase::removeDatabase(d->connName);
        throwOpenError(config_, e);
    }
    if (d->engine == Engine::Sqlite) {
        QSqlQuery q(c);
        // WAL: readers keep their snapshot while a writer commits; a query that is still
        // being read does not block the desk's posts.
        if (!q.exec("PRAGMA journal_mode=WAL") || !q.exec("PRAGMA foreign_keys=OFF")) {
            const QSqlError e = q.lastError();
            q = QSqlQuery();
            c.close();
            c = QSqlDatabase();
            QSqlDatabase::removeDatabase(d->connName);
            throwOpenError(config_, e);
        }
        const QVariant h = c.driver()->handle();
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0)
            d->handle = *static_cast<sqlite3* const*>(h.constData());
    }
}

Database::~Database() {
    d->clearNative();
    d->lru.clear();
    d->bySql.clear();
    const QStringList snaps = d->idleSnapshots + d->busySnapshots;
    for (const QString& name : snaps) {
        {
            QSqlDatabase s = QSqlDatabase::database(name, false);
            s.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    {
        QSqlDatabase c = QSqlDatabase::database(d->connName, false);
        if (c.isOpen() && depth_ > 0) c.rollback();
        c.close();
    }
    QSqlDatabase::removeDatabase(d->connName);
}

QSqlDatabase Database::connection() const { return QSqlDatabase::database(d->connName, false); }

QSqlDatabase Database::snapshotConnection() {
    if (d->engine == Engine::Odbc) return connection();
    if (!d->idleSnapshots.isEmpty()) {
        const QString name = d->idleSnapshots.takeLast();
        d->busySnapshots << name;
        return QSqlDatabase::database(name, false);
    }
    const QString name = QString("%1:snapshot:%2").arg(d->connName).arg(++connectionSerial);
    QSqlDatabase s;
    if (d->engine == Engine::Postgres) {
        // A connection of its own: Qt's driver streams a forward-only result row by row and
        // drops the rest of it when another statement runs on the same connection, so a
        // query still being read would lose rows at the desk's next post. Each statement
        // runs in its own snapshot there.
        s = QSqlDatabase::cloneDatabase(d->connName, name);
    } else {
        s = QSqlDatabase::addDatabase("QSQLITE", name);
        s.setDatabaseName(d->sqliteUri + "?mode=ro");
        s.setConnectOptions("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000");
    }
    if (!s.open()) {
        const QSqlError e = s.lastError();
        s = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
        throwOpenError(config_, e);
    }
    d->busySnapshots << name;
    return s;
}

void Database::releaseSnapshot(const QSqlDatabase& c) {
    const QString name = c.connectionName();
    if (d->busySnapshots.removeOne(name)) d->idleSnapshots << name;
}

QSqlQuery& Database::prepared(const QString& sql) {
    auto it = d->bySql.find(sql);
    if (it != d->bySql.end()) {
        d->lru.splice(d->lru.begin(), d->lru, it->second);
        return it->second->query;
    }
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        const QSqlError e = q.lastError();
        throw EngineError(
            QString("%1\n(%2)").arg(e.databaseText().isEmpty() ? e.text() : e.databaseText(), sql));
    }
    if (d->lru.size() >= Impl::maxPrepared) {
        d->bySql.erase(d->lru.back().sql);
        d->lru.pop_back();
    }
    d->lru.push_front(Impl::Entry{sql, std::move(q)});
    d->bySql.emplace(sql, d->lru.begin());
    return d->lru.front().query;
}

static QString readableError(const QSqlError& e, Engine engine) {
    const QString code = e.nativeErrorCode();
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    bool keyViolation = false;
    bool busy = false;
    switch (engine) {
    case Engine::Sqlite:
        keyViolation = code == "2067" || code == "1555" || text.contains("UNIQUE constraint failed");
        busy = code == "5" || code == "517" || code == "261" || code == "6" ||
               text.contains("database is locked");
        break;
    case Engine::Postgres:
        keyViolation = code == "23505";
        busy = code == "40001" || code == "40P01" || code == "55P03";
        break;
    case Engine::Odbc:
        keyViolation = code.startsWith("23") && (text.contains("unique", Qt::CaseInsensitive) ||
                                                 text.contains("duplicate", Qt::CaseInsensitive));
        break;
    }
    if (keyViolation) return "Key violation.";
    if (busy) return "The database is busy: another desk is storing a change. Try again in a moment.";
    return text.trimmed();
}

static QString readableSqliteError(sqlite3* db) {
    QSqlError e(QString(), QString::fromUtf8(sqlite3_errmsg(db)), QSqlError::StatementError,
                QString::number(sqlite3_extended_errcode(db)));
    return readableError(e, Engine::Sqlite);
}

static void bindNative(sqlite3_stmt* st, int i, const QVariant& v) {
    if (v.isNull() || !v.isValid()) {
        sqlite3_bind_null(st, i);
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        sqlite3_bind_int64(st, i, v.toLongLong());
        return;
    case QMetaType::ULongLong:
        sqlite3_bind_int64(st, i, sqlite3_int64(v.toULongLong()));
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, i, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDateTime: {
        // as Qt's driver stores them, so both paths read and compare alike
        const QByteArray t = v.toDateTime().toString(Qt::ISODateWithMs).toUtf8();
        sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return;
    }
    case QMetaType::QDate: {
        const QByteArray t = v.toDate().toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(st, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QString text = v.toString();
        sqlite3_bind_text16(st, i, text.utf16(), int(text.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
        return;
    }
    }
}

int Database::run(const QString& sql, const QVariantList& values, const RowSink& onRow, QVariant* insertId) {
    if (!d->handle) {
        // other engines: through Qt's driver
        QSqlQuery& q = prepared(sql);
        exec(q, values);
        int changed = 0;
        if (q.isSelect()) {
            struct QtRow : ResultRow {
                QSqlQuery* q;
                int n;
                int count() const override { return n; }
                QVariant value(int i) const override { return q->value(i); }
            } row;
            row.q = &q;
            row.n = q.record().count();
            while (q.next())
                if (onRow) onRow(row);
        } else {
            changed = q.numRowsAffected();
            if (insertId) *insertId = q.lastInsertId();
        }
        q.finish();
        return changed;
    }
    sqlite3_stmt* st = nullptr;
    auto it = d->nativeBySql.find(sql);
    if (it != d->nativeBySql.end()) {
        d->nativeLru.splice(d->nativeLru.begin(), d->nativeLru, it->second);
        st = it->second->stmt;
    } else {
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v3(d->handle, text.constData(), int(text.size()), SQLITE_PREPARE_PERSISTENT, &st,
                               nullptr) != SQLITE_OK) {
            const QString msg = readableSqliteError(d->handle);
            sqlite3_finalize(st);
            throw EngineError(QString("%1\n(%2)").arg(msg, sql));
        }
        if (d->nativeLru.size() >= Impl::maxPrepared) {
            sqlite3_finalize(d->nativeLru.back().stmt);
            d->nativeBySql.erase(d->nativeLru.back().sql);
            d->nativeLru.pop_back();
        }
        d->nativeLru.push_front(Impl::NativeEntry{sql, st});
        d->nativeBySql.emplace(sql, d->nativeLru.begin());
    }
    struct Reset {
        sqlite3_stmt* st;
        ~Reset() {
            sqlite3_reset(st); // ends the read: the connection sees later commits
            sqlite3_clear_bindings(st);
        }
    } reset{st};
    for (int i = 0; i < values.size(); ++i)
        bindNative(st, i + 1, values[i]);
    // values are made straight from the engine's row, once
    struct NativeRow : ResultRow {
        sqlite3_stmt* st;
        int n;
        int count() const override { return n; }
        QVariant value(int i) const override {
            switch (sqlite3_column_type(st, i)) {
            case SQLITE_INTEGER:
                return qlonglong(sqlite3_column_int64(st, i));
            case SQLITE_FLOAT:
                return sqlite3_column_double(st, i);
            case SQLITE_TEXT:
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                         sqlite3_column_bytes(st, i));
            case SQLITE_BLOB:
                return QByteArray(static_cast<const char*>(sqlite3_column_blob(st, i)),
                                  sqlite3_column_bytes(st, i));
            default:
                return {};
            }
        }
    } row;
    row.st = st;
    row.n = sqlite3_column_count(st);
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) break;
        if (rc != SQLITE_ROW) throw EngineError(readableSqliteError(d->handle));
        if (onRow) onRow(row);
    }
    const int n = row.n;
    if (insertId) *insertId = qlonglong(sqlite3_last_insert_rowid(d->handle));
    return n == 0 ? sqlite3_changes(d->handle) : 0;
}

void Database::exec(QSqlQuery& q, const QVariantList& values, const QString& context) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        const QString msg = readableError(q.lastError(), d->engine);
        q.finish();
        if (context.isEmpty() || msg == "Key violation.") throw EngineError(msg);
        throw EngineError(QString("%1 (%2)").arg(msg, context));
    }
}

bool Database::tableExists(const QString& table) {
    if (d->columnCache.contains(table.toLower())) return true;
    const QStringList tables = connection().tables(QSql::Tables);
    for (const QString& t : tables)
        if (t.compare(table, Qt::CaseInsensitive) == 0) return true;
    return false;
}

const QVector<Database::ColumnInfo>& Database::columnInfo(const QString& table) {
    const QString key = table.toLower();
    auto it = d->columnCache.find(key);
    if (it != d->columnCache.end()) return *it;
    QVector<ColumnInfo> cols;
    QString pk;
    if (d->engine == Engine::Sqlite) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        if (!q.exec(QString("PRAGMA table_info(%1)").arg(dialect_->quote(table))))
            throw EngineError(readableError(q.lastError(), d->engine));
        QStringList pks;
        while (q.next()) {
            ColumnInfo ci;
            ci.name = q.value(1).toString();
            const bool isPk = q.value(5).toInt() > 0;
            ci.type = typeFromDeclaration(q.value(2).toString(), isPk, ci.size);
            if (isPk) pks << ci.name;
            cols << ci;
        }
        if (pks.size() == 1)
            pk = pks.first();
        else
            for (auto& c : cols)
                if (c.type == FieldType::AutoInc) c.type = FieldType::Integer;
    } else {
        const QString esc =
            connection().driver()->escapeIdentifier(physicalTableName(table), QSqlDriver::TableName);
        const QSqlRecord rec = connection().record(esc);
        const QSqlIndex pki = connection().primaryIndex(esc);
        if (pki.count() == 1) pk = pki.fieldName(0);
        for (int i = 0; i < rec.count(); ++i) {
            const QSqlField f = rec.field(i);
            ColumnInfo ci;
            ci.name = f.name();
            ci.type = typeFromMeta(f, f.name() == pk);
            ci.size = ci.type == FieldType::String ? f.length() : 0;
            cols << ci;
        }
    }
    if (cols.isEmpty())
        throw EngineError(QString("Table does not exist: %1 (alias %2)").arg(table, config_.name));
    d->pkCache.insert(key, pk);
    return *d->columnCache.insert(key, cols);
}

QString Database::physicalTableName(const QString& table) {
    if (d->engine == Engine::Sqlite) return table; // SQLite's names ignore case
    const QString key = table.toLower();
    auto it = d->physicalNames.find(key);
    if (it != d->physicalNames.end()) return *it;
    for (const QString& t : connection().tables(QSql::Tables))
        if (t.compare(table, Qt::CaseInsensitive) == 0) {
            d->physicalNames.insert(key, t);
            return t;
        }
    return table;
}

void Database::forgetSchema() {
    ++schemaGeneration_;
    d->clearNative();
    d->physicalNames.clear();
    d->columnCache.clear();
    d->pkCache.clear();
    d->lru.clear();
    d->bySql.clear();
}

QStringList Database::columns(const QString& table) {
    QStringList names;
    for (const auto& c : columnInfo(table))
        names << c.name;
    return names;
}

QString Database::primaryKey(const QString& table) {
    columnInfo(table);
    const QString pk = d->pkCache.value(table.toLower());
    if (!pk.isEmpty()) return pk;
    if (d->engine == Engine::Sqlite)
        return "rowid"; // a table made without an integer key still has its row id
    throw EngineError(QString("Table %1 has no integer primary key").arg(table));
}

QStringList Database::indexFields(const QString& table, const QString& index) {
    columnInfo(table); // a missing table is named as such
    QStringList fields;
    const auto notFound = [&] {
        return EngineError(QString("Index does not exist: %1 (table %2)").arg(index, table));
    };
    if (d->engine == Engine::Sqlite) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        q.prepare("SELECT name FROM sqlite_master WHERE type = 'index' AND lower(tbl_name) = lower(?) "
                  "AND name = ? COLLATE NOCASE");
        q.addBindValue(table);
        q.addBindValue(index);
        if (!q.exec()) throw EngineError(readableError(q.lastError(), d->engine));
        if (!q.next()) throw notFound();
        const QString real = q.value(0).toString();
        q.finish();
        if (!q.exec(QString("PRAGMA index_info(%1)").arg(dialect_->quote(real))))
            throw EngineError(readableError(q.lastError(), d->engine));
        QMap<int, QString> bySeq;
        while (q.next())
            bySeq.insert(q.value(0).toInt(), q.value(2).toString());
        fields = bySeq.values();
    } else if (d->engine == Engine::Postgres) {
        QSqlQuery q(connection());
        q.setForwardOnly(true);
        q.prepare("SELECT a.attname FROM pg_index i "
                  "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_class t ON t.oid = i.indrelid "
                  "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = ANY(i.indkey) "
                  "WHERE c.relname = ? AND t.relname = ? "
                  "ORDER BY array_position(i.indkey::int2[], a.attnum)");
        q.addBindValue(index);
        q.addBindValue(table);
        if (!q.exec()) throw EngineError(readableError(q.lastError(), d->engine));
        while (q.next())
            fields << q.value(0).toString();
    } else {
        // ODBC gives no portable catalogue of indexes: the primary key is the only one known
        const QSqlIndex pki = connection().primaryIndex(table);
        if (pki.name().compare(index, Qt::CaseInsensitive) == 0)
            for (int i = 0; i < pki.count(); ++i)
                fields << pki.fieldName(i);
    }
    if (fields.isEmpty()) throw notFound();
    return fields;
}

// ---------------------------------------------------------------------------------------
// Transactions

// BEGIN, COMMIT, ROLLBACK: cached statements on SQLite; other engines prepare no such thing.
static void runPlain(Database& db, const QString& sql, Engine engine) {
    if (engine == Engine::Sqlite) {
        db.run(sql, {});
        return;
    }
    QSqlQuery q(db.connection());
    if (!q.exec(sql)) throw EngineError(readableError(q.lastError(), engine));
}

static void rollbackQuietly(Database& db) {
    try {
        runPlain(db, "ROLLBACK", engineOf(db.config().driver));
    } catch (const Exception&) {
        // nothing was begun, or the engine rolled back already
    }
}

void Database::StartTransaction() {
    if (depth_ == 0) {
        runPlain(*this, dialect_->beginWrite(), d->engine);
        d->written.clear();
    }
    ++depth_;
}

void Database::Commit() {
    if (depth_ == 0) throw EngineError("No transaction is active");
    if (--depth_ > 0) return;
    try {
        runPlain(*this, "COMMIT", d->engine);
    } catch (...) {
        ++depth_;
        Rollback();
        throw;
    }
    d->written.clear();
}

void Database::Rollback() {
    if (depth_ == 0) return;
    depth_ = 0;
    rollbackQuietly(*this);
    // what was stored inside is gone: each dataset goes back to how it stood before its post
    auto written = std::move(d->written);
    d->written.clear();
    for (auto it = written.rbegin(); it != written.rend(); ++it)
        it->first->restore(it->second);
}

void Database::noteWrite(DataSet* ds) {
    if (depth_ == 0) return;
    for (const auto& w : d->written)
        if (w.first == ds) return; // back to the state before its first post in this transaction
    d->written.emplace_back(ds, ds->snapshot());
}

void Database::forgetDataSet(DataSet* ds) {
    std::erase_if(d->written, [ds](const auto& w) { return w.first == ds; });
}

Database::WriteScope::WriteScope(Database& db) : db_(db) {
    if (!db_.InTransaction()) {
        runPlain(db_, db_.dialect().beginWrite(), db_.d->engine);
        own_ = true;
    }
}

Database::WriteScope::~WriteScope() {
    if (own_ && !done_) rollbackQuietly(db_);
}

void Database::WriteScope::commit() {
    if (own_ && !done_)
        runPlain(db_, "COMMIT", db_.d->engine); // a failed commit is rolled back by the destructor
    done_ = true;
}

} // namespace data
