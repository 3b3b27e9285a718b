#include "admin/schema_admin.h"

#include "data/database.h"
#include "data/formatsettings.h"
#include "locator/locator_schema.h"
#include "messages/messages_schema.h"
#include "records/staff_schema.h"

#include <QDate>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QVariantMap>
#include <QStandardPaths>

namespace admin {

QVector<data::TableDef> allTables() {
    data::TableDef staff = records::staffTable();
    // Beside the register's own indexes: the boards filter on Department (the department
    // board) and on Status (the in- and out-of-office boards) and show the rows in name
    // order, and the department and in/out reports order that way; these let both read from
    // the first matching row on, without scanning or sorting the register.
    staff.indexes << data::IndexDef{"StaffDepartment", {"Department", "Name"}, false}
                  << data::IndexDef{"StaffStatus", {"Status", "Name"}, false};
    return {staff,
            locator::staffLogTable(),
            locator::destinationTable(),
            locator::deptTable(),
            messages::messTable(),
            messages::mediaTable(),
            messages::msgtypeTable()};
}

void registerAlias(const QString& alias, const QString& sqliteFile) {
    data::AliasConfig cfg;
    cfg.name = alias;
    cfg.driver = "SQLITE";
    cfg.path = QFileInfo(sqliteFile).absoluteFilePath();
    cfg.save();
}

QString defaultDatabaseFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/quorvale/corvane2003.db";
}

namespace {

bool isEmpty(data::Database& db, const QString& table) {
    const auto& d = db.dialect();
    QSqlQuery& q = db.prepared("SELECT 1 FROM " + d.quote(table) + d.limit(1));
    db.exec(q, {}, table);
    const bool empty = !q.next();
    q.finish();
    return empty;
}

// Inserts rows given as column lists and value lists, with bound parameters.
void insertRows(data::Database& db, const QString& table, const QStringList& columns,
                const QList<QVariantList>& rows) {
    const auto& d = db.dialect();
    QStringList quoted, marks;
    for (const QString& c : columns) {
        quoted << d.quote(c);
        marks << "?";
    }
    const QString sql =
        "INSERT INTO " + d.quote(table) + " (" + quoted.join(", ") + ") VALUES (" + marks.join(", ") + ")";
    for (const QVariantList& values : rows) {
        QSqlQuery& q = db.prepared(sql);
        db.exec(q, values, table);
        q.finish();
    }
}

QVariant none() { return QVariant(); }

} // namespace

void addSampleRows(data::Database& db) {
    // Dates of the presence status are text in the month-first short form, relative to
    // today so that the sample looks current.
    const QDate today =
        data::formatSettings().now ? data::formatSettings().now().date() : QDate::currentDate();
    auto day = [&](int offset) { return today.addDays(offset).toString("M/d/yy"); };

    db.StartTransaction();
    try {
        if (isEmpty(db, "Dept"))
            insertRows(db, "Dept", {"Department"},
                       {{"Accounting"}, {"Administration"}, {"Engineering"}, {"Human Resources"}, {"Sales"}});

        if (isEmpty(db, "Destination"))
            insertRows(
                db, "Destination",
                {"Destination", "Company", "Address", "City", "State", "ZipCode", "Longitude", "Latitude"},
                {{"Harbor Terminal", "Bellmont Shipping Co.", "400 Quay Street", "Baltimore", "MD", "21230",
                  -76.5912, 39.2654},
                 {"Riverside Plant", "Corvane Manufacturing", "12 Mill Road", "Wilmington", "DE", "19801",
                  -75.5398, 39.7391},
                 {"Client Visit", "Atlas Insurance Group", "2200 Market Street", "Philadelphia", "PA",
                  "19103", -75.1763, 39.9536},
                 {"Trade Show", "Convention Center", "1101 Arch Street", "Philadelphia", "PA", "19107",
                  -75.1596, 39.9550},
                 {"Lunch", none(), none(), none(), none(), none(), none(), none()}});

        if (isEmpty(db, "Media"))
            insertRows(db, "Media", {"Media_Type"},
                       {{"Phone"}, {"Fax"}, {"E-Mail"}, {"Walk-in"}, {"Voice Mail"}});

        if (isEmpty(db, "Msgtype"))
            insertRows(db, "Msgtype", {"Message Type"},
                       {{"Please Call"},
                        {"Will Call Again"},
                        {"Returned Your Call"},
                        {"Urgent"},
                        {"Wants to See You"}});

        if (isEmpty(db, "Staff")) {
            const QStringList columns{
                "Name",      "Emp_Num",     "Password",    "EMail",  "Phone",        "Department",
                "City",      "State",       "ZipCode",     "DOB",    "Destination",  "Date_Left",
                "Time_Left", "Return_Date", "Return_Time", "Status", "Contact_Phone"};
            auto in = [&](const QString& name, double num, const QVariant& password, const QVariant& mail,
                          const QString& phone, const QString& dept, const QVariant& dob) -> QVariantList {
                return {name, num,         password, mail,   phone,  dept,   "Baltimore", "MD",  "21201",
                        dob,  "IN Office", none(),   none(), none(), none(), "IN",        none()};
            };
            auto out = [&](const QString& name, double num, const QString& mail, const QString& phone,
                           const QString& dept, const QString& where, int leftDay, const QString& leftTime,
                           int backDay, const QString& backTime, const QString& contact) -> QVariantList {
                return {name,        num,          none(),   mail,   phone,  dept,
                        "Baltimore", "MD",         "21201",  none(), where,  day(leftDay),
                        leftTime,    day(backDay), backTime, "Out",  contact};
            };
            insertRows(
                db, "Staff", columns,
                {in("Abbott, Helen", 1001, "hab01", "helen.abbott@corvane.example", "(410)555-0101",
                    "Accounting", QDateTime(QDate(1971, 4, 12), QTime(0, 0))),
                 in("Brennan, Martin", 1002, none(), "martin.brennan@corvane.example", "(410)555-0102",
                    "Engineering", none()),
                 out("Castillo, Rosa", 1003, "rosa.castillo@corvane.example", "(410)555-0103", "Sales",
                     "Client Visit", 0, "09:30", 0, "15:00", "(215)555-0199"),
                 in("Dunmore, Peter", 1004, "pdun", "peter.dunmore@corvane.example", "(410)555-0104",
                    "Administration", QDateTime(QDate(1984, 11, 3), QTime(0, 0))),
                 out("Eastwick, Joan", 1005, "joan.eastwick@corvane.example", "(410)555-0105", "Engineering",
                     "Riverside Plant", -1, "13:15", 1, "10:00", "(302)555-0142"),
                 in("Farrow, Daniel", 1006, none(), none(), "(410)555-0106", "Human Resources", none()),
                 out("Gallagher, Simone", 1007, "simone.gallagher@corvane.example", "(410)555-0107", "Sales",
                     "Trade Show", -2, "08:00", 2, "17:30", "(215)555-0160"),
                 in("Hartley, Owen", 1008, "owen8", "owen.hartley@corvane.example", "(410)555-0108",
                    "Accounting", none()),
                 out("Ibarra, Lucia", 1009, "lucia.ibarra@corvane.example", "(410)555-0109", "Administration",
                     "Lunch", 0, "12:00", 0, "13:00", "(   )555-0110")});
        }
        db.Commit();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

void initDatabase(const QString& file, bool sample) {
    data::AliasConfig target;
    target.name = databaseAlias;
    target.driver = "SQLITE";
    target.path = QFileInfo(file).absoluteFilePath();
    initDatabase(target, sample);
}

namespace {

// The alias file's group of one alias as it stood, to put back when the new one fails.
class SavedAlias {
public:
    explicit SavedAlias(const QString& alias) : alias_(alias) {
        QSettings ini(data::AliasConfig::configFilePath(), QSettings::IniFormat);
        for (const QString& g : ini.childGroups())
            if (g.compare(alias, Qt::CaseInsensitive) == 0) {
                group_ = g;
                ini.beginGroup(g);
                for (const QString& k : ini.childKeys())
                    values_.insert(k, ini.value(k));
                ini.endGroup();
            }
    }
    void restore() const {
        QSettings ini(data::AliasConfig::configFilePath(), QSettings::IniFormat);
        for (const QString& g : ini.childGroups())
            if (g.compare(alias_, Qt::CaseInsensitive) == 0) ini.remove(g);
        if (!group_.isEmpty()) {
            ini.beginGroup(group_);
            for (auto it = values_.cbegin(); it != values_.cend(); ++it)
                ini.setValue(it.key(), it.value());
            ini.endGroup();
        }
        ini.sync();
    }

private:
    QString alias_, group_;
    QVariantMap values_;
};

} // namespace

void initDatabase(const data::AliasConfig& cfg, bool sample) {
    // Opening an alias never makes a missing file: that is this tool's job. The file comes
    // first, so that a file that cannot be made leaves the alias file as it was.
    cfg.createDatabaseFile();
    const SavedAlias before(cfg.name);
    data::Database::closeAll();
    cfg.save();
    try {
        data::Database& db = data::Database::forAlias(cfg.name);
        data::createTables(db, allTables());
        if (sample) addSampleRows(db);
    } catch (const data::EngineError& e) {
        data::Database::closeAll();
        // a server that cannot be reached, or refuses the user: the old alias stays
        if (e.kind() == data::ErrorKind::CannotOpen || e.kind() == data::ErrorKind::DriverMissing)
            before.restore();
        throw;
    } catch (...) {
        data::Database::closeAll();
        throw;
    }
    data::Database::closeAll();
}

std::optional<data::AliasConfig> configuredAlias(const QString& alias) {
    try {
        return data::AliasConfig::load(alias);
    } catch (const data::EngineError& e) {
        if (e.kind() == data::ErrorKind::UnknownAlias) return std::nullopt;
        throw;
    }
}

namespace {
// One name per engine, whatever spelling the alias file uses.
QString engineName(const QString& driver) {
    const QString d = driver.trimmed().toUpper();
    if (d.isEmpty() || d == "SQLITE" || d == "QSQLITE") return "SQLITE";
    if (d == "PSQL" || d == "QPSQL" || d == "POSTGRES" || d == "POSTGRESQL") return "PSQL";
    if (d == "ODBC" || d == "QODBC") return "ODBC";
    return d;
}
} // namespace

void checkAliasReplacement(const data::AliasConfig& cfg, bool replace) {
    if (replace) return;
    const std::optional<data::AliasConfig> old = configuredAlias(cfg.name);
    if (!old || engineName(old->driver) == engineName(cfg.driver)) return;
    throw data::EngineError(QString("The alias %1 already names a %2 database; it is left as it is. "
                                    "Give --replace to point it at the %3 database instead.")
                                .arg(cfg.name, engineName(old->driver), engineName(cfg.driver)),
                            data::ErrorKind::AliasFile);
}

data::AliasConfig parsePostgresSettings(const QString& settings) {
    data::AliasConfig cfg;
    cfg.name = databaseAlias;
    cfg.driver = "PSQL";
    static const QRegularExpression separators("[,\\s]+");
    for (const QString& part : settings.split(separators, Qt::SkipEmptyParts)) {
        const int eq = part.indexOf('=');
        const QString key = eq < 0 ? part : part.left(eq).trimmed().toLower();
        const QString value = eq < 0 ? QString() : part.mid(eq + 1);
        if (eq < 0 || value.isEmpty())
            throw data::EngineError(QString("PostgreSQL setting without a value: %1").arg(part));
        if (key == "host" || key == "hostaddr")
            cfg.host = value;
        else if (key == "port") {
            bool ok = false;
            cfg.port = value.toInt(&ok);
            if (!ok || cfg.port <= 0 || cfg.port > 65535)
                throw data::EngineError(QString("Not a port number: %1").arg(value));
        } else if (key == "database" || key == "dbname")
            cfg.database = value;
        else if (key == "user")
            cfg.user = value;
        else if (key == "password")
            cfg.password = value;
        else
            throw data::EngineError(QString("Unknown PostgreSQL setting: %1").arg(key));
    }
    QStringList missing;
    if (cfg.host.isEmpty()) missing << "host";
    if (cfg.database.isEmpty()) missing << "database";
    if (cfg.user.isEmpty()) missing << "user";
    if (!missing.isEmpty())
        throw data::EngineError(QString("PostgreSQL settings missing: %1").arg(missing.join(", ")));
    return cfg;
}

} // namespace admin
