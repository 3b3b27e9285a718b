// Connections: the one open database of an alias, its snapshot connections, prepared
// statements and the engine's errors.
#include "database_p.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QUrl>
#include <dlfcn.h>
#include <map>

namespace data {

Engine engineOf(const QString& driver) {
    const QString d = driver.toUpper();
    if (d == "PSQL" || d == "QPSQL" || d == "POSTGRES" || d == "POSTGRESQL") return Engine::Postgres;
    if (d == "ODBC" || d == "QODBC") return Engine::Odbc;
    return Engine::Sqlite;
}

namespace {

// The open databases. A program may end without closeAll(): the registry then closes them
// while it is destroyed, one by one, so a destructor that touches it sees a consistent map.
struct Registry;
Registry& registry();

struct Registry : std::map<QString, std::unique_ptr<Database>> {
    Registry() {
        // Qt's list of connections and its loader of driver plugins are made first, so they
        // are destroyed after this one: at exit the drivers can still close their connections.
        (void)QSqlDatabase::connectionNames();
        (void)QSqlDatabase::drivers();
        // with an application, while it ends (everything of Qt's still there)
        if (QCoreApplication::instance()) qAddPostRoutine([] { registry().clearAll(); });
    }
    ~Registry() { clearAll(); }
    void clearAll() {
        while (!empty()) {
            auto node = extract(begin());
            node.mapped().reset();
        }
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

QString registryKey(const QString& alias) { return alias.toLower(); }

int connectionSerial = 0;

bool postgresConnectionBad(const QSqlDatabase& c);

std::function<void(const QSqlDatabase&)>& connectionObserver() {
    static std::function<void(const QSqlDatabase&)> o;
    return o;
}

} // namespace

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

void Database::closeAll() { registry().clearAll(); }

void throwOpenError(const AliasConfig& cfg, const QSqlError& e) {
    throw EngineError(QString("Cannot open the database of alias %1: %2")
                          .arg(cfg.name, e.databaseText().isEmpty() ? e.text() : e.databaseText()),
                      ErrorKind::CannotOpen);
}

Database::Database(AliasConfig cfg) : d(std::make_unique<Impl>()), config_(std::move(cfg)) {
    dialect_ = Dialect::forDriver(config_.driver);
    d->engine = engineOf(config_.driver);
    d->connName = QString("quorvale:%1:%2").arg(config_.name).arg(++connectionSerial);
    QSqlDatabase c;
    switch (d->engine) {
    case Engine::Sqlite: {
        if (config_.path.isEmpty())
            throw EngineError(QString("Alias %1 names no database file").arg(config_.name),
                              ErrorKind::UnknownAlias);
        const QFileInfo fi(config_.path);
        if (fi.isDir())
            throw EngineError(QString("The database path of alias %1 is a folder, not a database file: %2. "
                                      "Point the alias at the database file itself")
                                  .arg(config_.name, config_.path),
                              ErrorKind::CannotOpen);
        if (fi.isFile() && !QFileInfo(fi.absolutePath()).isWritable())
            // the engine keeps its working files beside the database, even to read it
            throw EngineError(
                QString("Cannot open the database of alias %1: its folder %2 is read-only, and the "
                        "database engine must write its working files there even to read. "
                        "Ask for write access to the folder, or move the database to a "
                        "folder you may write to")
                    .arg(config_.name, QDir::toNativeSeparators(fi.absolutePath())),
                ErrorKind::CannotOpen);
        if (fi.isFile() && !fi.isWritable())
            throw EngineError(QString("Cannot open the database of alias %1: the file %2 is read-only. "
                                      "Ask for write access to it")
                                  .arg(config_.name, QDir::toNativeSeparators(fi.absoluteFilePath())),
                              ErrorKind::CannotOpen);
        if (!fi.exists() || !fi.isFile())
            throw EngineError(
                QString("The database file of alias %1 does not exist: %2").arg(config_.name, config_.path),
                ErrorKind::CannotOpen);
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
                              .arg(config_.name, config_.driver),
                          ErrorKind::DriverMissing);
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
        if (h.isValid() && qstrcmp(h.typeName(), "sqlite3*") == 0 && nativeSqliteUsable(c))
            d->handle = *static_cast<sqlite3* const*>(h.constData());
    }
    if (connectionObserver()) connectionObserver()(c);
}

void Database::setConnectionObserver(std::function<void(const QSqlDatabase&)> observer) {
    connectionObserver() = std::move(observer);
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
    ensureConnected();
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
    if (connectionObserver()) connectionObserver()(s);
    return s;
}

void Database::releaseSnapshot(const QString& name) {
    if (!d->busySnapshots.removeOne(name)) return;
    // broken off with the server: never handed out again
    const bool broken =
        d->engine == Engine::Postgres && postgresConnectionBad(QSqlDatabase::database(name, false));
    if (!broken && d->idleSnapshots.isEmpty()) {
        d->idleSnapshots << name;
        return;
    }
    // one kept is enough for the statements a desk runs one after another
    {
        QSqlDatabase s = QSqlDatabase::database(name, false);
        s.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int Database::snapshotsInUse() const { return int(d->busySnapshots.size()); }

int Database::openConnections() const { return 1 + int(d->idleSnapshots.size() + d->busySnapshots.size()); }

QSqlQuery& Database::prepared(const QString& sql) {
    ensureConnected(); // the statements of a lost connection are no more
    auto it = d->bySql.find(sql);
    if (it != d->bySql.end()) {
        d->lru.splice(d->lru.begin(), d->lru, it->second);
        return it->second->query;
    }
    QSqlQuery q(connection());
    q.setForwardOnly(true);
    if (!q.prepare(sql)) {
        const QSqlError e = q.lastError();
        const EngineError err = failure(e);
        if (err.kind() == ErrorKind::ConnectionLost) throw err;
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

namespace {

const char* const lostText = "The connection to the database server was lost (the server may have been "
                             "restarted), so this operation was not completed. Try it again: the desk "
                             "connects anew";

const char* const diskFullText = "The disk that holds the database is full, so the change was not stored. "
                                 "Free some space on it, then try again";

// The fields a unique index refused, as the engine names them ("UNIQUE constraint failed:
// Staff.Name", "Key ("Name")=(...) already exists").
QStringList clashingFields(const QString& text, Engine engine) {
    QStringList out;
    if (engine == Engine::Sqlite) {
        static const QRegularExpression re("UNIQUE constraint failed: ([^\n]*)");
        const auto m = re.match(text);
        if (m.hasMatch())
            for (const QString& c : m.captured(1).split(", ", Qt::SkipEmptyParts))
                out << c.section('.', 1).trimmed();
    } else if (engine == Engine::Postgres) {
        static const QRegularExpression re("Key \\((.*)\\)=\\(");
        const auto m = re.match(text);
        if (m.hasMatch())
            for (QString c : m.captured(1).split(", ", Qt::SkipEmptyParts)) {
                c = c.trimmed();
                if (c.size() > 1 && c.startsWith('"') && c.endsWith('"'))
                    c = c.mid(1, c.size() - 2).replace("\"\"", "\"");
                out << c;
            }
    }
    out.removeAll(QString());
    return out;
}

// Whether libpq calls the connection broken (the server went away); false when that
// cannot be told.
bool postgresConnectionBad(const QSqlDatabase& c) {
    if (!c.isValid() || !c.driver()) return false;
    const QVariant h = c.driver()->handle();
    if (!h.isValid() || (qstrcmp(h.typeName(), "PGconn*") != 0 && qstrcmp(h.typeName(), "pg_conn*") != 0))
        return false;
    using StatusFn = int (*)(const void*);
    static const StatusFn status = [] {
        void* lib = dlopen("libpq.so.5", RTLD_LAZY | RTLD_NOLOAD);
        return lib ? reinterpret_cast<StatusFn>(dlsym(lib, "PQstatus")) : nullptr;
    }();
    const void* conn = *static_cast<void* const*>(h.constData());
    return status && conn && status(conn) == 1; // CONNECTION_BAD
}

} // namespace

EngineError engineError(const QSqlError& e, Engine engine) {
    const QString code = e.nativeErrorCode();
    const QString text = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    bool keyViolation = false;
    bool busy = false;
    bool full = false;
    switch (engine) {
    case Engine::Sqlite:
        keyViolation = code == "2067" || code == "1555" || text.contains("UNIQUE constraint failed");
        busy = code == "5" || code == "517" || code == "261" || code == "6" ||
               text.contains("database is locked");
        full = code == "13";
        break;
    case Engine::Postgres:
        keyViolation = code == "23505";
        busy = code == "40001" || code == "40P01" || code == "55P03";
        full = code == "53100";
        // the server shut the session down, or the connection itself failed
        if (code.startsWith("57P0") || code.startsWith("08"))
            return EngineError(lostText, ErrorKind::ConnectionLost);
        break;
    case Engine::Odbc:
        keyViolation = code.startsWith("23") && (text.contains("unique", Qt::CaseInsensitive) ||
                                                 text.contains("duplicate", Qt::CaseInsensitive));
        break;
    }
    if (keyViolation) {
        const QStringList fields = clashingFields(e.databaseText() + '\n' + e.driverText(), engine);
        if (fields.isEmpty()) return EngineError("Key violation.", ErrorKind::KeyViolation);
        return EngineError(QString("Key violation. Another row already has the same %1: enter another value, "
                                   "or press Esc to abandon the change")
                               .arg(fields.join(" and ")),
                           ErrorKind::KeyViolation);
    }
    if (busy)
        return EngineError("The database is busy: another desk is storing a change. Try again in a moment.",
                           ErrorKind::Busy);
    if (full) return EngineError(diskFullText);
    return EngineError(text.trimmed());
}

EngineError Database::failure(const QSqlError& e) {
    EngineError err = engineError(e, d->engine);
    if (d->engine != Engine::Postgres) return err;
    if (err.kind() != ErrorKind::ConnectionLost && !postgresConnectionBad(connection())) return err;
    d->lost = true;
    return EngineError(lostText, ErrorKind::ConnectionLost);
}

bool Database::connectionLost() const { return d->lost; }

void Database::ensureConnected() {
    if (!d->lost) return;
    // a transaction went with the connection: it ends (rolls back) before anything goes on
    if (depth_ > 0) throw EngineError(lostText, ErrorKind::ConnectionLost);
    d->lru.clear(); // statements of the old session
    d->bySql.clear();
    for (const QString& name : std::as_const(d->idleSnapshots)) {
        {
            QSqlDatabase s = QSqlDatabase::database(name, false);
            s.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    d->idleSnapshots.clear();
    QSqlDatabase c = connection();
    c.close();
    if (!c.open()) {
        const QSqlError e = c.lastError();
        throw EngineError(
            QString("The database server of alias %1 cannot be reached: %2. Check that the server "
                    "is running, then try again")
                .arg(config_.name, (e.databaseText().isEmpty() ? e.text() : e.databaseText()).trimmed()),
            ErrorKind::ConnectionLost);
    }
    d->lost = false;
}

// A value as the engine stores it. Date-times go to PostgreSQL as the local date and time
// they hold, as text: Qt's driver would send them as UTC with a time zone, which a column
// without one takes in the server's zone. A text holding NUL would end the statement that
// Qt's driver writes the values into.
static QVariant storable(const QVariant& v, Engine engine) {
    if (engine != Engine::Postgres || v.isNull()) return v;
    if (v.metaType().id() == QMetaType::QDateTime) {
        QDateTime dt = v.toDateTime();
        if (dt.timeSpec() != Qt::LocalTime) dt = dt.toLocalTime();
        return dt.toString("yyyy-MM-dd HH:mm:ss.zzz");
    }
    if (v.metaType().id() == QMetaType::QString && v.toString().contains(QChar(0)))
        throw EngineError("A text holding a NUL character (code 0) cannot be stored. Remove the character, "
                          "then try again",
                          ErrorKind::InvalidValue);
    return v;
}

void Database::exec(QSqlQuery& q, const QVariantList& values, const QString& context) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, storable(values[i], d->engine));
    if (!q.exec()) {
        const QSqlError e = q.lastError();
        q.finish();
        const EngineError err = failure(e);
        if (context.isEmpty() || err.kind() == ErrorKind::KeyViolation ||
            err.kind() == ErrorKind::ConnectionLost)
            throw err;
        throw EngineError(QString("%1 (%2)").arg(err.message(), context), err.kind());
    }
}

} // namespace data
