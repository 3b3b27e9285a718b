// The data-access layer against the same statements run through raw sqlite3, on 100,000
// Staff rows and 1,000,000 Staff_Log rows; and opening Staff_Log at 1,000 and 1,000,000 rows.
//
//   cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVALE_BENCH=ON
//   cmake --build build-bench --target bench_data && build-bench/bench/bench_data
//
// The databases are made once with plain SQL under $TMPDIR/quorvale-bench and kept.
#include "data/database.h"
#include "data/table.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

const char* staffColumns[] = {
    "Employee_No", "Name",        "Emp_Num",    "Password",     "EMail",       "Social_Security", "Address1",
    "Address2",    "City",        "State",      "ZipCode",      "Phone",       "Department",      "Alternate",
    "Fax",         "DOB",         "Login_Name", "Comments",     "Destination", "Date_Left",       "Time_Left",
    "Return_Date", "Return_Time", "Status",     "Contact_Phone"};
const char* logColumns[] = {"Transaction_Id", "Login_Name",  "Transaction_Date", "Transaction_Time",
                            "Name",           "Department",  "Destination",      "Date Left",
                            "Time_Left",      "Return_Date", "Return_Time",      "Status",
                            "Contact_Phone"};

QString benchDir() { return QDir::tempPath() + "/quorvale-bench"; }

void check(int rc, sqlite3* db, const char* what) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

void execSql(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        fprintf(stderr, "%s: %s\n", sql.c_str(), err);
        std::exit(1);
    }
}

std::string staffName(int i) {
    static const char* last[] = {"Abbott", "Baker", "Clark", "Dunn", "Evans", "Fisher", "Grant", "Hughes"};
    char buf[64];
    snprintf(buf, sizeof buf, "%s, Person %06d", last[i % 8], i);
    return buf;
}

// Plain SQL of our own, shaped as the admin tool makes the tables.
void makeDatabase(const QString& file, int staffRows, int logRows) {
    if (QFileInfo::exists(file)) return;
    fprintf(stderr, "making %s (%d Staff rows, %d Staff_Log rows)...\n", qPrintable(file), staffRows,
            logRows);
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QString tmp = file + ".part";
    QFile::remove(tmp);
    sqlite3* db = nullptr;
    check(sqlite3_open(tmp.toUtf8().constData(), &db), db, "open");
    execSql(db, "PRAGMA journal_mode=WAL");
    std::string staff = "CREATE TABLE \"Staff\" (\"Employee_No\" INTEGER PRIMARY KEY AUTOINCREMENT";
    for (size_t i = 1; i < std::size(staffColumns); ++i) {
        const std::string c = staffColumns[i];
        const char* type = c == "Emp_Num"    ? "REAL"
                           : c == "DOB"      ? "TIMESTAMP"
                           : c == "Comments" ? "TEXT"
                                             : "VARCHAR(25)";
        staff += ", \"" + c + "\" " + type;
    }
    execSql(db, staff + ")");
    std::string log = "CREATE TABLE \"Staff_Log\" (\"Transaction_Id\" INTEGER PRIMARY KEY AUTOINCREMENT";
    for (size_t i = 1; i < std::size(logColumns); ++i)
        log += std::string(", \"") + logColumns[i] + "\" VARCHAR(25)";
    execSql(db, log + ")");
    std::mt19937 rng(2003);
    std::vector<int> order(staffRows);
    for (int i = 0; i < staffRows; ++i)
        order[i] = i;
    std::shuffle(order.begin(), order.end(), rng);
    execSql(db, "BEGIN");
    sqlite3_stmt* ins = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Staff (Name, Emp_Num, EMail, City, Department, Destination, "
                             "Status, Date_Left, Contact_Phone) VALUES (?, ?, ?, 'Boston', ?, ?, ?, ?, ?)",
                             -1, &ins, nullptr),
          db, "prepare");
    for (int i : order) {
        const std::string n = staffName(i);
        const std::string mail = "p" + std::to_string(i) + "@corvane.example";
        const std::string dept = "Dept " + std::to_string(i % 40);
        const bool out = i % 3 == 0;
        sqlite3_bind_text(ins, 1, n.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(ins, 2, i);
        sqlite3_bind_text(ins, 3, mail.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 4, dept.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 5, out ? "Client site" : "IN Office", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 6, out ? "Out" : "IN", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 7, out ? "3/11/26" : nullptr, -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 8, out ? "(617)555-0100" : nullptr, -1, SQLITE_STATIC);
        check(sqlite3_step(ins), db, "insert staff");
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Staff_Log (Transaction_Date, Transaction_Time, Name, Department, "
                             "Destination, \"Date Left\", Status) VALUES (?, ?, ?, ?, ?, ?, ?)",
                             -1, &ins, nullptr),
          db, "prepare");
    std::uniform_int_distribution<int> pick(0, std::max(staffRows, 1) - 1);
    for (int i = 0; i < logRows; ++i) {
        const int who = pick(rng);
        const std::string n = staffName(who);
        const std::string date = std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/25";
        sqlite3_bind_text(ins, 1, date.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 2, "9:15:00 AM", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 3, n.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 4, "Sales", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 5, i % 2 ? "IN Office" : "Client site", -1, SQLITE_STATIC);
        sqlite3_bind_text(ins, 6, i % 2 ? nullptr : date.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 7, i % 2 ? "IN" : "Out", -1, SQLITE_STATIC);
        check(sqlite3_step(ins), db, "insert log");
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    execSql(db, "COMMIT");
    execSql(db, "CREATE UNIQUE INDEX \"NAMEIndex\" ON \"Staff\" (\"Name\")");
    execSql(db, "CREATE INDEX \"Staff_LogName\" ON \"Staff_Log\" (\"Name\", \"Transaction_Date\", "
                "\"Transaction_Time\")");
    execSql(db, "CREATE INDEX \"Staff_LogNameId\" ON \"Staff_Log\" (\"Name\", \"Transaction_Id\")");
    execSql(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
    QFile::rename(tmp, file);
    QFile::remove(tmp + "-wal");
    QFile::remove(tmp + "-shm");
}

// --- raw sqlite3: the statements the layer runs, read column by column -----------------------

struct Raw {
    sqlite3* db = nullptr;
    std::vector<std::pair<std::string, sqlite3_stmt*>> cache;

    explicit Raw(const QString& file) {
        check(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), db, "open");
        sqlite3_busy_timeout(db, 5000);
        execSql(db, "PRAGMA journal_mode=WAL");
    }
    ~Raw() {
        for (auto& c : cache)
            sqlite3_finalize(c.second);
        sqlite3_close(db);
    }
    sqlite3_stmt* stmt(const std::string& sql) {
        for (auto& c : cache)
            if (c.first == sql) return c.second;
        sqlite3_stmt* s = nullptr;
        check(sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr), db,
              sql.c_str());
        cache.emplace_back(sql, s);
        return s;
    }
    struct Value {
        int type;
        sqlite3_int64 i;
        double d;
        std::string text;
    };
    using RawRow = std::vector<Value>;
    // Steps the statement to its end, copying every column of every row.
    int readAll(sqlite3_stmt* s, std::vector<RawRow>* out = nullptr) {
        int n = 0;
        const int cols = sqlite3_column_count(s);
        while (sqlite3_step(s) == SQLITE_ROW) {
            RawRow r(cols);
            for (int c = 0; c < cols; ++c) {
                r[c].type = sqlite3_column_type(s, c);
                switch (r[c].type) {
                case SQLITE_INTEGER:
                    r[c].i = sqlite3_column_int64(s, c);
                    break;
                case SQLITE_FLOAT:
                    r[c].d = sqlite3_column_double(s, c);
                    break;
                case SQLITE_TEXT:
                    r[c].text.assign(reinterpret_cast<const char*>(sqlite3_column_text(s, c)),
                                     size_t(sqlite3_column_bytes(s, c)));
                    break;
                default:
                    break;
                }
            }
            if (out) out->push_back(std::move(r));
            ++n;
        }
        sqlite3_reset(s);
        return n;
    }
};

std::string selectList(const char* const* cols, size_t n, const char* orderCol, const char* key) {
    std::string s = std::string("SELECT \"") + orderCol + "\", \"" + key + "\"";
    for (size_t i = 0; i < n; ++i)
        s += std::string(", \"") + cols[i] + "\"";
    return s;
}

const std::string staffSelect =
    selectList(staffColumns, std::size(staffColumns), "Name", "Employee_No") + " FROM \"Staff\"";
const std::string staffOrder = " ORDER BY \"Name\" ASC, \"Employee_No\" ASC";
const std::string logSelect =
    selectList(logColumns, std::size(logColumns), "Name", "Transaction_Id") + " FROM \"Staff_Log\"";
const std::string logOrder = " ORDER BY \"Name\" ASC, \"Transaction_Id\" ASC";

std::unique_ptr<data::Table> layerTable(const char* alias, const char* table) {
    auto t = std::make_unique<data::Table>("Table1");
    t->SetDatabaseName(alias);
    t->SetTableName(table);
    t->SetIndexFieldNames("Name");
    return t;
}

// --- open -------------------------------------------------------------------------------------

void BM_OpenStaff_Layer(benchmark::State& st) {
    auto t = layerTable("BenchBig", "Staff");
    for (auto _ : st) {
        t->Open();
        benchmark::DoNotOptimize(t->FieldByName("Name")->AsString());
        t->Close();
    }
}

void BM_OpenStaff_Raw(benchmark::State& st) {
    Raw raw(benchDir() + "/big.db");
    sqlite3_stmt* s = raw.stmt(staffSelect + staffOrder + " LIMIT 32");
    for (auto _ : st)
        benchmark::DoNotOptimize(raw.readAll(s));
}

void BM_OpenStaffLog_Layer(benchmark::State& st) {
    auto t = layerTable(st.range(0) == 1000 ? "BenchSmall" : "BenchBig", "Staff_Log");
    for (auto _ : st) {
        t->Open();
        benchmark::DoNotOptimize(t->FieldByName("Name")->AsString());
        t->Close();
    }
}

void BM_OpenStaffLog_Raw(benchmark::State& st) {
    Raw raw(benchDir() + (st.range(0) == 1000 ? "/small.db" : "/big.db"));
    sqlite3_stmt* s = raw.stmt(logSelect + logOrder + " LIMIT 32");
    for (auto _ : st)
        benchmark::DoNotOptimize(raw.readAll(s));
}

// --- FindNearest --------------------------------------------------------------------------------

std::vector<std::string> searchTexts() {
    std::vector<std::string> out;
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> pick(0, 99999);
    for (int i = 0; i < 256; ++i)
        out.push_back(staffName(pick(rng)).substr(0, 12 + i % 8));
    return out;
}

void BM_FindNearest_Layer(benchmark::State& st) {
    auto t = layerTable("BenchBig", "Staff");
    t->SetIndexFieldNames({});
    t->SetIndexName("NAMEIndex");
    t->Open();
    const auto texts = searchTexts();
    QStringList q;
    for (const auto& s : texts)
        q << QString::fromStdString(s);
    size_t i = 0;
    for (auto _ : st) {
        t->FindNearest({q[int(i++ % q.size())]});
        benchmark::DoNotOptimize(t->CurrentKey());
    }
}

void BM_FindNearest_Raw(benchmark::State& st) {
    Raw raw(benchDir() + "/big.db");
    sqlite3_stmt* s = raw.stmt(staffSelect + " WHERE \"Name\" >= ?" + staffOrder + " LIMIT 1");
    const auto texts = searchTexts();
    size_t i = 0;
    for (auto _ : st) {
        const std::string& t = texts[i++ % texts.size()];
        sqlite3_bind_text(s, 1, t.c_str(), int(t.size()), SQLITE_STATIC);
        benchmark::DoNotOptimize(raw.readAll(s));
    }
}

// --- 1,000 x Next -------------------------------------------------------------------------------

void BM_Next1000_Layer(benchmark::State& st) {
    const bool log = st.range(0) == 1;
    auto t = layerTable("BenchBig", log ? "Staff_Log" : "Staff");
    t->Open();
    t->FindNearest({"Clark"});
    const data::RowKey start = t->CurrentKey();
    for (auto _ : st) {
        st.PauseTiming();
        t->GotoKey(start);
        t->Refresh(); // no rows read ahead: every window is read within the timing
        st.ResumeTiming();
        for (int i = 0; i < 1000; ++i)
            t->Next();
        benchmark::DoNotOptimize(t->CurrentKey());
    }
}

// The layer's statements for the rows after a key: the same name with a greater row key,
// then the greater names; 32 rows at a time.
void BM_Next1000_Raw(benchmark::State& st) {
    const bool log = st.range(0) == 1;
    Raw raw(benchDir() + "/big.db");
    const std::string& sel = log ? logSelect : staffSelect;
    const std::string& ord = log ? logOrder : staffOrder;
    const char* key = log ? "\"Transaction_Id\"" : "\"Employee_No\"";
    sqlite3_stmt* same = raw.stmt(sel + " WHERE \"Name\" = ? AND " + key + " > ?" + ord + " LIMIT ?");
    sqlite3_stmt* after = raw.stmt(sel + " WHERE \"Name\" > ?" + ord + " LIMIT ?");
    sqlite3_stmt* first = raw.stmt(sel + " WHERE \"Name\" >= ?" + ord + " LIMIT 1");
    std::vector<Raw::RawRow> rows;
    for (auto _ : st) {
        st.PauseTiming();
        rows.clear();
        sqlite3_bind_text(first, 1, "Clark", -1, SQLITE_STATIC);
        raw.readAll(first, &rows);
        st.ResumeTiming();
        int moved = 0;
        while (moved < 1000) {
            const Raw::RawRow cur = rows.back();
            rows.clear();
            sqlite3_bind_text(same, 1, cur[0].text.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(same, 2, cur[1].i);
            sqlite3_bind_int(same, 3, 32);
            raw.readAll(same, &rows);
            if (rows.size() < 32) {
                sqlite3_bind_text(after, 1, cur[0].text.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(after, 2, 32 - int(rows.size()));
                raw.readAll(after, &rows);
            }
            if (rows.empty()) break;
            moved += int(rows.size());
        }
        benchmark::DoNotOptimize(moved);
    }
}

// --- append and post one history row ---------------------------------------------------------

void BM_AppendPost_Layer(benchmark::State& st) {
    auto t = layerTable("BenchBig", "Staff_Log");
    t->Open();
    int i = 0;
    for (auto _ : st) {
        t->Append();
        t->FieldByName("Transaction_Date")->SetAsString("3/11/26");
        t->FieldByName("Transaction_Time")->SetAsString("2:05:09 PM");
        t->FieldByName("Name")->SetAsString(QString::fromStdString(staffName(i++ % 100000)));
        t->FieldByName("Department")->SetAsString("Sales");
        t->FieldByName("Destination")->SetAsString("Client site");
        t->FieldByName("Date Left")->SetAsString("3/11/26");
        t->FieldByName("Time_Left")->SetAsString("14:00");
        t->FieldByName("Status")->SetAsString("Out");
        t->FieldByName("Contact_Phone")->SetAsString("(617)555-0100");
        t->Post();
    }
}

void BM_AppendPost_Raw(benchmark::State& st) {
    Raw raw(benchDir() + "/big.db");
    std::string cols, marks;
    for (size_t c = 1; c < std::size(logColumns); ++c) {
        cols += std::string(c > 1 ? ", " : "") + "\"" + logColumns[c] + "\"";
        marks += c > 1 ? ", ?" : "?";
    }
    sqlite3_stmt* ins = raw.stmt("INSERT INTO \"Staff_Log\" (" + cols + ") VALUES (" + marks + ")");
    sqlite3_stmt* reread = raw.stmt(logSelect + " WHERE \"Transaction_Id\" = ?" + logOrder);
    sqlite3_stmt* begin = raw.stmt("BEGIN IMMEDIATE");
    sqlite3_stmt* commit = raw.stmt("COMMIT");
    int i = 0;
    for (auto _ : st) {
        const std::string n = staffName(i++ % 100000);
        const char* v[] = {nullptr,   "3/11/26", "2:05:09 PM", n.c_str(), "Sales", "Client site",
                           "3/11/26", "14:00",   nullptr,      nullptr,   "Out",   "(617)555-0100"};
        raw.readAll(begin);
        for (int c = 0; c < 12; ++c)
            sqlite3_bind_text(ins, c + 1, v[c], -1, SQLITE_STATIC);
        raw.readAll(ins);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(raw.db);
        raw.readAll(commit);
        sqlite3_bind_int64(reread, 1, id);
        benchmark::DoNotOptimize(raw.readAll(reread));
    }
}

} // namespace

BENCHMARK(BM_OpenStaff_Layer);
BENCHMARK(BM_OpenStaff_Raw);
BENCHMARK(BM_OpenStaffLog_Layer)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_OpenStaffLog_Raw)->Arg(1000)->Arg(1000000);
BENCHMARK(BM_FindNearest_Layer);
BENCHMARK(BM_FindNearest_Raw);
BENCHMARK(BM_Next1000_Layer)->Arg(0)->Arg(1)->ArgName("log");
BENCHMARK(BM_Next1000_Raw)->Arg(0)->Arg(1)->ArgName("log");
BENCHMARK(BM_AppendPost_Layer);
BENCHMARK(BM_AppendPost_Raw);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    makeDatabase(benchDir() + "/big.db", 100000, 1000000);
    makeDatabase(benchDir() + "/small.db", 1000, 1000);
    qputenv("XDG_CONFIG_HOME", (benchDir() + "/config").toLocal8Bit());
    for (auto [name, file] : {std::pair{"BenchBig", "/big.db"}, std::pair{"BenchSmall", "/small.db"}}) {
        data::AliasConfig cfg;
        cfg.name = name;
        cfg.path = benchDir() + file;
        cfg.save();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    data::Database::closeAll();
    return 0;
}
