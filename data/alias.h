#pragma once
// Database aliases. They live in the engine's own configuration file,
//   $XDG_CONFIG_HOME/quorvale/aliases.ini   (QStandardPaths::GenericConfigLocation)
// one group per alias:
//   [Corvane2003]
//   Driver=SQLITE            ; SQLITE (default), PSQL or ODBC
//   Path=/home/me/.local/share/quorvale/corvane2003.db      ; SQLITE
//   Host=db.example  Port=5432  Database=corvane  User=desk  Password=...   ; PSQL
//   DSN=CorvaneODBC  User=...  Password=...                                  ; ODBC
#include <QString>

namespace data {

struct AliasConfig {
    QString name;
    QString driver = "SQLITE";
    QString path; // SQLITE
    QString host, database, user, password;
    int port = 0; // PSQL
    QString dsn;  // ODBC

    static QString configFilePath();               // the aliases.ini in use
    static AliasConfig load(const QString& alias); // EngineError "Unknown database alias: %1"
    void save() const;                             // writes (or replaces) the group
    // SQLITE: makes an empty database file at path when there is none (the admin tool;
    // opening an alias never creates a missing file).
    void createDatabaseFile() const;
};

} // namespace data
