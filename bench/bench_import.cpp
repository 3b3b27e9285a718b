// The employee import: 100,000 source rows moved into an empty Staff and then again as
// updates, through the batch move against raw sqlite3 reading the same source and running the
// same inserts and updates with prepared statements in one transaction.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BENCH=ON
//   cmake --build build-bench --target bench_import && build-bench/bench/bench_import
//
// The source is made once under $TMPDIR/quorvale-bench; each run starts from an empty Staff.
#include "data/batchmove.h"
#include "data/database.h"
#include "data/table.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <string>

namespace {

constexpr int sourceRows = 100000;
QString dir() { return QDir::tempPath() + "/quorvale-bench"; }
QString sourceFile() { return dir() + "/import-source.db"; }
QString destinationFile() { return dir() + "/import-destination.db"; }

void execSql(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", sql.c_str(), err);
        std::exit(1);
    }
}

const char* sourceColumns[] = {"Name",     "Emp_Num", "Password", "Email",   "Social_Security", "Address1",
                               "Address2", "City",    "State",    "ZipCode", "Phone",           "Department"};

void makeSource() {
    if (QFileInfo::exists(sourceFile())) return;
    QDir().mkpath(dir());
    sqlite3* db = nullptr;
    sqlite3_open(sourceFile().toUtf8().constData(), &db);
    std::string create = "CREATE TABLE Staff (Employee_No INTEGER PRIMARY KEY";
    for (const char* c : sourceColumns)
        create += std::string(", ") + c + " VARCHAR(50)";
    execSql(db, create + ")");
    execSql(db, "BEGIN");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Staff VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)", -1, &st, nullptr);
    char buf[13][64];
    for (int i = 1; i <= sourceRows; ++i) {
        snprintf(buf[0], 64, "Person, Number %06d", i);
        snprintf(buf[1], 64, "%d", 100000 + i);
        snprintf(buf[2], 64, "p%07d", i);
        snprintf(buf[3], 64, "person%06d@example.com", i);
        snprintf(buf[4], 64, "123-45-%04d", i % 10000);
        snprintf(buf[5], 64, "%d Main Street", i);
        snprintf(buf[6], 64, "Suite %d", i % 100);
        snprintf(buf[7], 64, "Springfield");
        snprintf(buf[8], 64, "IL");
        snprintf(buf[9], 64, "627%02d", i % 100);
        snprintf(buf[10], 64, "(217)555-%04d", i % 10000);
        snprintf(buf[11], 64, "Department %d", i % 20);
        sqlite3_bind_int(st, 1, i);
        for (int c = 0; c < 12; ++c)
            sqlite3_bind_text(st, c + 2, buf[c], -1, SQLITE_TRANSIENT);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    execSql(db, "COMMIT");
    sqlite3_close(db);
}

// An empty Staff shaped as the admin tool makes it, with its six indexes.
void makeEmptyDestination() {
    data::Database::closeAll();
    QFile::remove(destinationFile());
    QFile::remove(destinationFile() + "-wal");
    QFile::remove(destinationFile() + "-shm");
    sqlite3* db = nullptr;
    sqlite3_open(destinationFile().toUtf8().constData(), &db);
    execSql(db, "PRAGMA journal_mode=WAL");
    execSql(
        db,
        "CREATE TABLE \"Staff\" (\"Employee_No\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Name\" VARCHAR(25), "
        "\"Emp_Num\" REAL, \"Password\" VARCHAR(8), \"EMail\" VARCHAR(35), \"Social_Security\" VARCHAR(12), "
        "\"Address1\" VARCHAR(25), \"Address2\" VARCHAR(25), \"City\" VARCHAR(25), \"State\" VARCHAR(2), "
        "\"ZipCode\" VARCHAR(12), \"Phone\" VARCHAR(13), \"Department\" VARCHAR(25), \"Alternate\" "
        "VARCHAR(13), \"Fax\" VARCHAR(13), \"DOB\" TIMESTAMP, \"Login_Name\" VARCHAR(8), \"Comments\" TEXT, "
        "\"Destination\" VARCHAR(25), \"Date_Left\" VARCHAR(15), \"Time_Left\" VARCHAR(15), \"Return_Date\" "
        "VARCHAR(15), \"Return_Time\" VARCHAR(15), \"Status\" VARCHAR(3), \"Contact_Phone\" VARCHAR(13))");
    execSql(db, "CREATE UNIQUE INDEX \"EmailIndex\" ON \"Staff\" (\"EMail\")");
    execSql(db, "CREATE UNIQUE INDEX \"EmpNumIndex\" ON \"Staff\" (\"Emp_Num\")");
    execSql(db, "CREATE UNIQUE INDEX \"NAMEIndex\" ON \"Staff\" (\"Name\")");
    execSql(db, "CREATE UNIQUE INDEX \"PASSWORDIndex\" ON \"Staff\" (\"Password\")");
    execSql(db, "CREATE UNIQUE INDEX \"Staff#PX\" ON \"Staff\" (\"Employee_No\", \"Name\", \"Emp_Num\", "
                "\"Password\", \"EMail\")");
    execSql(db, "CREATE INDEX \"ZipCode\" ON \"Staff\" (\"ZipCode\")");
    sqlite3_close(db);
}

void setUpAliases() {
    qputenv("XDG_CONFIG_HOME", (dir() + "/import-config").toUtf8());
    data::AliasConfig d;
    d.name = "Corvane2003";
    d.path = destinationFile();
    d.save();
    data::AliasConfig s;
    s.name = "BenchSource";
    s.path = sourceFile();
    s.save();
}

void layerMove(benchmark::State& state, bool again) {
    data::Table source("SourceTable"), staff("Table1");
    source.SetDatabaseName("BenchSource");
    source.SetTableName("Staff");
    staff.SetDatabaseName("Corvane2003");
    staff.SetTableName("Staff");
    data::BatchMove move("BatchMove1");
    move.SetSource(&source);
    move.SetDestination(&staff);
    for (auto _ : state) {
        state.PauseTiming();
        makeEmptyDestination();
        if (again) move.Execute();
        state.ResumeTiming();
        move.Execute();
        if (move.MovedCount() != sourceRows ||
            (again ? move.UpdatedCount() : move.AppendedCount()) != sourceRows) {
            state.SkipWithError("not every row moved");
            return;
        }
    }
    data::Database::closeAll();
}

// The same work in raw sqlite3: the source read with a prepared SELECT, the rows written
// with prepared statements, one transaction, Emp_Num stored as a number.
void rawMove(sqlite3* dst, bool update) {
    sqlite3* src = nullptr;
    sqlite3_open_v2(sourceFile().toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(src, "SELECT * FROM Staff", -1, &read, nullptr);
    sqlite3_stmt* write = nullptr;
    if (update)
        sqlite3_prepare_v2(dst,
                           "UPDATE Staff SET Name=?, Emp_Num=?, Password=?, EMail=?, Social_Security=?, "
                           "Address1=?, Address2=?, City=?, State=?, ZipCode=?, Phone=?, Department=? "
                           "WHERE Employee_No=?",
                           -1, &write, nullptr);
    else
        sqlite3_prepare_v2(dst,
                           "INSERT INTO Staff (Employee_No, Name, Emp_Num, Password, EMail, Social_Security, "
                           "Address1, Address2, City, State, ZipCode, Phone, Department) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &write, nullptr);
    execSql(dst, "BEGIN IMMEDIATE");
    while (sqlite3_step(read) == SQLITE_ROW) {
        const int key = sqlite3_column_int(read, 0);
        const int first = update ? 1 : 2;
        if (!update) sqlite3_bind_int(write, 1, key);
        for (int c = 1; c <= 12; ++c) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(read, c));
            if (c == 2)
                sqlite3_bind_double(write, first + c - 1, atof(text));
            else
                sqlite3_bind_text(write, first + c - 1, text, sqlite3_column_bytes(read, c),
                                  SQLITE_TRANSIENT);
        }
        if (update) sqlite3_bind_int(write, 13, key);
        if (sqlite3_step(write) != SQLITE_DONE) std::exit(1);
        sqlite3_reset(write);
    }
    execSql(dst, "COMMIT");
    sqlite3_finalize(write);
    sqlite3_finalize(read);
    sqlite3_close(src);
}

void BM_Import_Layer(benchmark::State& state) { layerMove(state, false); }
void BM_ImportAgain_Layer(benchmark::State& state) { layerMove(state, true); }

void rawBench(benchmark::State& state, bool again) {
    for (auto _ : state) {
        state.PauseTiming();
        makeEmptyDestination();
        sqlite3* dst = nullptr;
        sqlite3_open(destinationFile().toUtf8().constData(), &dst);
        execSql(dst, "PRAGMA journal_mode=WAL");
        if (again) rawMove(dst, false);
        state.ResumeTiming();
        rawMove(dst, again);
        state.PauseTiming();
        sqlite3_close(dst);
        state.ResumeTiming();
    }
}
void BM_Import_Raw(benchmark::State& state) { rawBench(state, false); }
void BM_ImportAgain_Raw(benchmark::State& state) { rawBench(state, true); }

} // namespace

BENCHMARK(BM_Import_Layer)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Import_Raw)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportAgain_Layer)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ImportAgain_Raw)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    makeSource();
    setUpAliases();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
