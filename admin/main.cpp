// quorvale-admin: sets up the database the program works on.
#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

int usage() {
    std::fputs("usage: quorvale-admin init [--database FILE] [--sample] [--replace | --if-no-alias]\n"
               "       quorvale-admin init --psql host=H,port=P,database=D,user=U[,password=W] [--sample]\n"
               "                           [--replace | --if-no-alias]\n"
               "  init        registers the alias \"Corvane2003\" and creates the missing tables and\n"
               "              indexes there (existing tables and data stay as they are)\n"
               "  --database  an SQLite database file (default: $XDG_DATA_HOME/quorvale/corvane2003.db)\n"
               "  --psql      a PostgreSQL database that already exists on a server (port default 5432)\n"
               "  --sample    adds a few sample rows to the tables that are still empty\n"
               "  --replace   re-points an alias that names a database of another driver\n"
               "  --if-no-alias  does nothing when the alias is configured already\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quorvale-admin");

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.takeFirst() != "init") return usage();

    QString file, psql;
    bool sample = false, haveFile = false, havePsql = false, replace = false, ifNoAlias = false;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == "--sample") {
            sample = true;
        } else if (a == "--replace") {
            replace = true;
        } else if (a == "--if-no-alias") {
            ifNoAlias = true;
        } else if (a == "--database" && !args.isEmpty() && !args.first().isEmpty()) {
            file = args.takeFirst();
            haveFile = true;
        } else if (a.startsWith("--database=") && a.size() > 11) {
            file = a.mid(11);
            haveFile = true;
        } else if (a == "--psql" && !args.isEmpty() && !args.first().isEmpty()) {
            psql = args.takeFirst();
            havePsql = true;
        } else if (a.startsWith("--psql=") && a.size() > 7) {
            psql = a.mid(7);
            havePsql = true;
        } else {
            return usage();
        }
    }
    if (haveFile && havePsql) return usage(); // one database per alias
    if (replace && ifNoAlias) return usage();

    data::AliasConfig cfg;
    QString where;
    try {
        if (havePsql) {
            cfg = admin::parsePostgresSettings(psql);
            where = QString("PostgreSQL %1@%2:%3/%4")
                        .arg(cfg.user, cfg.host, cfg.port ? QString::number(cfg.port) : QString("5432"),
                             cfg.database);
        } else {
            if (file.isEmpty()) file = admin::defaultDatabaseFile();
            cfg.name = admin::databaseAlias;
            cfg.driver = "SQLITE";
            cfg.path = QFileInfo(file).absoluteFilePath();
            where = cfg.path;
        }
        if (ifNoAlias && admin::configuredAlias(cfg.name)) {
            std::printf("Alias \"%s\" is configured already; left as it is (%s)\n", admin::databaseAlias,
                        qPrintable(data::AliasConfig::configFilePath()));
            return 0;
        }
        admin::checkAliasReplacement(cfg, replace);
        admin::initDatabase(cfg, sample);
    } catch (const data::Exception& e) {
        std::fprintf(stderr, "quorvale-admin: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvale-admin: %s\n", e.what());
        return 1;
    }
    std::printf("Alias \"%s\" -> %s (%s)\n", admin::databaseAlias, qPrintable(where),
                qPrintable(data::AliasConfig::configFilePath()));
    return 0;
}
