// Connections: the one open database of an alias, its snapshot connections, prepared
// statements and the engine's errors.
#include "database_p.h"
#include <QFileInfo>
#include <QSqlDriver>
#include <QUrl>
#include <map>

namespace data {

Engine engineOf(const QString& driver) {
    const QString d = driver.toUpper();
    if (d == "PSQL" || d == "QPSQL" || d == "POSTGRES" || d == "POSTGRESQL") return Engine::Postgres;
    if (d == "ODBC" || d == "QODBC") return Engine::Odbc;
    return Engine::Sqlite;
}

namespace {

std::map<QString, std::unique_ptr<Database>>& registry() {
    static std::map<QString, std::unique_ptr<Database>> r;
    return r;
}

QString registryKey(const QString& alias) { return alias.toLower(); }

int connectionSerial = 0;

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

void Database::closeAll() {
    auto& r = registry();
    // destroy one by one, so a destructor that touches the registry sees a consistent map
    while (!r.empty()) {
        auto node = r.extract(r.begin());
        node.mapped().reset();
    }
}

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
    if (d->idleSnapshots.isEmpty()) {
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

EngineError engineError(const QSqlError& e, Engine engine) {
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
    if (keyViolation) return EngineError("Key violation.", ErrorKind::KeyViolation);
    if (busy)
        return EngineError("The database is busy: another desk is storing a change. Try again in a moment.",
                           ErrorKind::Busy);
    return EngineError(text.trimmed());
}

void Database::exec(QSqlQuery& q, const QVariantList& values, const QString& context) {
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (!q.exec()) {
        const EngineError err = engineError(q.lastError(), d->engine);
        q.finish();
        if (context.isEmpty() || err.kind() == ErrorKind::KeyViolation) throw err;
        throw EngineError(QString("%1 (%2)").arg(err.message(), context), err.kind());
    }
}

} // namespace data
