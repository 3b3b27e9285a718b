// quorvale-admin: sets up the database the program works on.
#include "admin/schema_admin.h"
#include "data/database.h"
#include "data/errors.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: quorvale-admin init [--database FILE] [--sample]\n"
               "  init        registers the alias \"Corvane2003\" for an SQLite database file and\n"
               "              creates the missing tables and indexes (existing data stays)\n"
               "  --database  the SQLite file (default: $XDG_DATA_HOME/quorvale/corvane2003.db)\n"
               "  --sample    adds a few sample rows to the tables that are still empty\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quorvale-admin");

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.takeFirst() != "init")
        return usage();

    QString file;
    bool sample = false;
    while (!args.isEmpty()) {
        const QString a = args.takeFirst();
        if (a == "--sample") {
            sample = true;
        } else if (a == "--database" && !args.isEmpty() && !args.first().isEmpty()) {
            file = args.takeFirst();
        } else if (a.startsWith("--database=") && a.size() > 11) {
            file = a.mid(11);
        } else {
            return usage();
        }
    }
    if (file.isEmpty())
        file = admin::defaultDatabaseFile();
    file = QFileInfo(file).absoluteFilePath();

    try {
        admin::initDatabase(file, sample);
    } catch (const data::Exception& e) {
        std::fprintf(stderr, "quorvale-admin: %s\n", e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvale-admin: %s\n", e.what());
        return 1;
    }
    std::printf("Alias \"%s\" -> %s (%s)\n", admin::databaseAlias, qPrintable(file),
                qPrintable(data::AliasConfig::configFilePath()));
    return 0;
}
