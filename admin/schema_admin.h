#pragma once
// Setting up the program's database: the alias, the seven tables, a few sample rows.
// The program itself never creates tables; only the admin tool and the tests' fixture do.
#include "data/schemadef.h"
#include <QString>
#include <optional>
#include <QVector>

namespace data {
class Database;
struct AliasConfig;
} // namespace data

namespace admin {

// The alias every window uses.
inline constexpr const char* databaseAlias = "Corvane2003";

// Staff, Staff_Log, Destination, Dept, Mess, Media, Msgtype.
QVector<data::TableDef> allTables();

// Writes (or replaces) the alias in the engine's alias file: an SQLite database at sqliteFile.
void registerAlias(const QString& alias, const QString& sqliteFile);

// Registers "Corvane2003" for the SQLite file (making its folder), creates the file if it is
// missing and every missing table and index; with sample, adds the sample rows to the tables
// that are still empty. Running it again is harmless. Leaves no database open
// (data::Database::closeAll()).
void initDatabase(const QString& file, bool sample);

// The same for any alias (SQLite file, PostgreSQL server): registers cfg under cfg.name, makes
// a missing SQLite file, creates every missing table and index, adds the sample rows. The
// database is reached before the alias file is written, so an unreachable server or a file
// that cannot be made leaves the alias file as it was. Leaves no database open.
void initDatabase(const data::AliasConfig& cfg, bool sample);

// The alias of that name as the alias file holds it, when it holds one.
std::optional<data::AliasConfig> configuredAlias(const QString& alias);

// Throws data::EngineError (ErrorKind::AliasFile) when the alias file already names cfg.name
// with another driver and replace is not set: a server set up by hand is not re-pointed at a
// file by a later init.
void checkAliasReplacement(const data::AliasConfig& cfg, bool replace);

// "host=db.example,port=5432,database=corvane,user=desk,password=secret" (commas or blanks
// between the settings) as a PSQL alias named databaseAlias. Throws data::EngineError naming
// an unknown or missing setting; host, database and user are required.
data::AliasConfig parsePostgresSettings(const QString& settings);

// Adds the sample rows to those of the tables that are empty.
void addSampleRows(data::Database& db);

// $XDG_DATA_HOME/quorvale/corvane2003.db (QStandardPaths::GenericDataLocation).
QString defaultDatabaseFile();

} // namespace admin
