// Aliases: reading and writing the alias file.
#include "alias.h"
#include "errors.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace data {

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
    if (alias.trimmed().isEmpty())
        throw EngineError("Unknown database alias: (empty name)", ErrorKind::UnknownAlias);
    const QFileInfo file(path);
    QSettings ini(path, QSettings::IniFormat);
    if (file.exists() && (!file.isFile() || !file.isReadable() || ini.status() == QSettings::AccessError))
        throw EngineError(
            QString("Cannot read the alias file %1, so no database alias is known. Ask for read "
                    "access to the file (it must be a file its owner may read)")
                .arg(QDir::toNativeSeparators(path)),
            ErrorKind::AliasFile);
    const QString group = findGroup(ini, alias);
    if (group.isEmpty())
        throw EngineError(QString("Unknown database alias: %1").arg(echoed(alias)), ErrorKind::UnknownAlias);
    ini.beginGroup(group);
    AliasConfig c;
    c.name = alias;
    c.driver = ini.value("Driver", "SQLITE").toString().trimmed().toUpper();
    if (c.driver.isEmpty()) c.driver = "SQLITE";
    c.path = ini.value("Path").toString();
    c.host = ini.value("Host").toString();
    const QString port = ini.value("Port").toString().trimmed();
    if (!port.isEmpty()) {
        bool ok = false;
        c.port = port.toInt(&ok);
        if (!ok || c.port <= 0 || c.port > 65535)
            throw EngineError(QString("The port of alias %1 is not a port number: '%2'. Write the database "
                                      "server's port (a number from 1 to 65535, 5432 by default) as Port in "
                                      "the alias file %3")
                                  .arg(alias, echoed(port), QDir::toNativeSeparators(path)),
                              ErrorKind::UnknownAlias);
    }
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
    // An alias may hold a password: the file is its owner's alone, from its first byte on.
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!QFileInfo::exists(file)) {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) f.close();
    }
    QFile::setPermissions(file, ownerOnly);
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
        throw EngineError(QString("Cannot write the alias file %1").arg(file), ErrorKind::AliasFile);
    if (!QFile::setPermissions(file, ownerOnly))
        throw EngineError(QString("Cannot write the alias file %1").arg(file), ErrorKind::AliasFile);
}

void AliasConfig::createDatabaseFile() const {
    if (driver.toUpper() != "SQLITE" && !driver.isEmpty()) return;
    if (path.isEmpty())
        throw EngineError(QString("Alias %1 names no database file").arg(name), ErrorKind::UnknownAlias);
    if (QFileInfo::exists(path)) return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EngineError(QString("Cannot create the database file %1: %2").arg(path, f.errorString()),
                          ErrorKind::AliasFile);
}

} // namespace data
